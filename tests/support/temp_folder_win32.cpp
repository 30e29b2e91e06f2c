#include "temp_folder.h"

#include <stdexcept>

#include "runtime/api_win32.h"

namespace fs = std::filesystem;

namespace {

std::wstring verbatim(const fs::path &path)
{
    fs::path absolute = path.is_absolute() ? path : fs::current_path() / path;
    return L"\\\\?\\" + absolute.make_preferred().native();
}

struct Handle {
    HANDLE handle;
    ~Handle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

} // namespace

const bool kNamesAreBytes = false;
const std::size_t kLongestPath = 0;

void writeFile(const fs::path &path, const Bytes &bytes)
{
    const Handle file{CreateFileW(verbatim(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr)};
    DWORD written = 0;
    if (file.handle == INVALID_HANDLE_VALUE ||
        !WriteFile(file.handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        throw std::runtime_error("cannot write " + path.string());
}

Bytes readAll(const fs::path &path)
{
    const Handle file{CreateFileW(verbatim(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr)};
    Bytes bytes;
    std::uint8_t chunk[4096];
    DWORD got = 0;
    while (file.handle != INVALID_HANDLE_VALUE && ReadFile(file.handle, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    return bytes;
}

bool isThere(const fs::path &path) { return GetFileAttributesW(verbatim(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

void makeFolders(const fs::path &folder)
{
    fs::path made = folder.root_path();
    for (const fs::path &part : folder.relative_path()) {
        made /= part;
        CreateDirectoryW(verbatim(made).c_str(), nullptr);
    }
}

// By verbatim names: the library's own removal goes through names Windows trims, and
// does not come back from "x.dat ". The read-only attribute goes first.
void TempFolder::removeTree(const fs::path &folder)
{
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW(verbatim(folder / L"*").c_str(), &entry);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &entry)) {
        const std::wstring name = entry.cFileName;
        const fs::path path = folder / name;
        if (name == L"." || name == L"..")
            continue;
        SetFileAttributesW(verbatim(path).c_str(), entry.dwFileAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            removeTree(path);
        else
            DeleteFileW(verbatim(path).c_str());
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    RemoveDirectoryW(verbatim(folder).c_str());
}

bool makeNamedPipe(const fs::path &) { return false; }

bool makeSocket(const fs::path &) { return false; }

fs::path aDevice() { return L"\\\\.\\NUL"; }
