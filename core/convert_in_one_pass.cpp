#include "core/convert_in_one_pass.h"

#include "core/write_header_or_restore.h"
#include "runtime/binary_file.h"
#include "runtime/failure.h"

namespace vuelco {
namespace {

// The header's layout, and the header itself in header; empty for a file cut short or
// not a BGA file.
std::optional<Layout> readHeader(BinaryFile &file, Header &header)
{
    if (file.read(0, header) != header.size())
        return std::nullopt;
    return layoutOf(header);
}

bool needsConverting(const std::optional<Layout> &found, Layout target, const Header &header, const Header *only)
{
    return found && *found != target && (only == nullptr || header == *only);
}

} // namespace

std::optional<Layout> lookAtLayout(BinaryFile &file)
{
    Header header{};
    const std::optional<Layout> found = readHeader(file, header);
    file.close();
    return found;
}

std::optional<Layout> previewConversion(BinaryFile &file, Layout target)
{
    Header header{};
    return previewConversion(file, target, header);
}

std::optional<Layout> previewConversion(BinaryFile &file, Layout target, Header &seen, const Header *only)
{
    const std::optional<Layout> found = readHeader(file, seen);
    if (needsConverting(found, target, seen, only))
        file.checkWritable();
    file.close();
    return found;
}

std::optional<Layout> convertInOnePass(BinaryFile &looked, Layout target)
{
    Header header{};
    return convertInOnePass(looked, target, header);
}

std::optional<Layout> convertInOnePass(BinaryFile &looked, Layout target, Header &onDisk, const Header *only)
{
    const std::optional<Layout> seen = readHeader(looked, onDisk);
    if (!needsConverting(seen, target, onDisk, only)) {
        looked.close();
        return seen;
    }

    BinaryFile file = looked.reopenForUpdate();
    looked.close();
    // Another conversion may have written between the look and the lock: what counts is
    // the header under the lock.
    file.lockForConversion();
    const std::optional<Layout> found = readHeader(file, onDisk);
    if (needsConverting(found, target, onDisk, only) &&
        writeHeaderOrRestore(file, onDisk, composeHeader(target, groupsOf(onDisk, *found))) ==
            HeaderWrite::FileReplaced) {
        file.close();
        throw Failure(FailureNumber::DeviceIo, file.path(), FailureCause::ReplacedWhileConverting);
    }
    file.close();
    return found;
}

std::optional<Layout> convertInOnePass(const std::filesystem::path &path, Layout target)
{
    BinaryFile file = BinaryFile::openForReading(path);
    return convertInOnePass(file, target);
}

} // namespace vuelco
