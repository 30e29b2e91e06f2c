#include "temp_folder.h"

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

TempFolder::~TempFolder() { removeTree(mPath); }

fs::path TempFolder::write(const fs::path &name, const Bytes &bytes) const
{
    fs::path file = mPath / name;
    writeFile(file, bytes);
    return file;
}
