#include "temp_folder.h"

#include <climits>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

const bool kNamesAreBytes = true;
const std::size_t kLongestPath = PATH_MAX;

void writeFile(const fs::path &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

Bytes readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool isThere(const fs::path &path)
{
    std::error_code ignored;
    return fs::exists(path, ignored);
}

void makeFolders(const fs::path &folder) { fs::create_directories(folder); }

// Write permission is given back first, so that read-only files go too.
void TempFolder::removeTree(const fs::path &folder)
{
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(folder, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored)) {
        if (!it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(folder, ignored);
}

bool makeNamedPipe(const fs::path &path) { return ::mkfifo(path.c_str(), 0644) == 0; }

// The socket stays in its folder once closed; nothing listens on it any more. A folder too
// deep for a socket's name has none.
bool makeSocket(const fs::path &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.native().size() >= sizeof(address.sun_path))
        return false;
    path.native().copy(address.sun_path, path.native().size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!bound)
        throw std::runtime_error("no socket could be made");
    return true;
}

fs::path aDevice() { return "/dev/null"; }
