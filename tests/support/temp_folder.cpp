#include "temp_folder.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

TempFolder::TempFolder(const fs::path &parent)
{
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = parent / ("vuelco-test-" + std::to_string(seed()));
        if (fs::create_directory(candidate)) {
            mPath = candidate;
            return;
        }
    }
    throw std::runtime_error("no temporary folder could be made");
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(mPath, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored)) {
        if (!it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(mPath, ignored);
}

fs::path TempFolder::write(const std::string &name, const Bytes &bytes) const
{
    fs::path file = mPath / name;
    writeFile(file, bytes);
    return file;
}

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

Bytes arcadeHeader()
{
    return {0x52, 0x45, 0x53, 0x00, 0x02, 0x00, 0x00, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
}

Bytes pcEmulatorHeader()
{
    return {0x52, 0x45, 0x53, 0x00, 0x03, 0x00, 0x00, 0x00, 0x55, 0x66, 0x77, 0x88, 0x11, 0x22, 0x33, 0x44};
}

Bytes operator+(Bytes head, const Bytes &tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}
