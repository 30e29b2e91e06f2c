#include "runtime/identity_policy.h"

#include "runtime/system_calls_posix.h"

#include <algorithm>
#include <array>
#include <linux/magic.h>
#include <sys/vfs.h>

namespace vuelco {
namespace {

// The local file systems whose inode numbers stay with a file for its life, one file each.
// Every other type (FUSE, NFS, SMB, 9p, AFS, overlays, types unknown here) may make numbers
// up or hand them out again while a file stays.
constexpr std::array<unsigned long, 6> kStableTypes{
    EXT4_SUPER_MAGIC,  // ext2, ext3 and ext4 share it
    XFS_SUPER_MAGIC, BTRFS_SUPER_MAGIC, F2FS_SUPER_MAGIC, TMPFS_MAGIC,
    0x2FC12FC1,  // ZFS, whose type no system header names
};

} // namespace

FileNumbers fileNumbersOf(std::intptr_t handle) noexcept
{
    struct statfs fileSystem {};
    if (posixCalls().fileSystemKind(static_cast<int>(handle), &fileSystem) != 0)
        return FileNumbers::Unstable;
    const auto type = static_cast<unsigned long>(fileSystem.f_type);
    return std::find(kStableTypes.begin(), kStableTypes.end(), type) != kStableTypes.end() ? FileNumbers::Stable
                                                                                           : FileNumbers::Unstable;
}

} // namespace vuelco
