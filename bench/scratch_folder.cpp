#include "scratch_folder.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <sys/vfs.h>

namespace vuelco::bench {

ScratchFolder::ScratchFolder(const std::filesystem::path &parent)
{
    std::string pattern = (parent / "vuelco-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a scratch folder in " + parent.string());
    mPath = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
}

bool isTmpfs(const std::filesystem::path &folder)
{
    constexpr long kTmpfsMagic = 0x01021994;
    struct statfs info {};
    return ::statfs(folder.c_str(), &info) == 0 && static_cast<long>(info.f_type) == kTmpfsMagic;
}

} // namespace vuelco::bench
