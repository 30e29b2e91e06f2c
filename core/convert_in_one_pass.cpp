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

bool needsConverting(const std::optional<Layout> &found, Layout target) { return found && *found != target; }

} // namespace

std::optional<Layout> lookAtLayout(BinaryFile &file)
{
    Header header{};
    const std::optional<Layout> found = readHeader(file, header);
    file.close();
    return found;
}

std::optional<Layout> previewConversion(BinaryFile &file, Layout target, std::optional<Layout> *seen)
{
    Header header{};
    const std::optional<Layout> found = readHeader(file, header);
    if (seen != nullptr)
        *seen = found;
    if (needsConverting(found, target))
        file.checkWritable();
    file.close();
    return found;
}

std::optional<Layout> convertInOnePass(BinaryFile &looked, Layout target, std::optional<Layout> *seen)
{
    Header onDisk{};
    const std::optional<Layout> looks = readHeader(looked, onDisk);
    if (seen != nullptr)
        *seen = looks;
    if (!needsConverting(looks, target)) {
        looked.close();
        return looks;
    }

    BinaryFile file = looked.reopenForUpdate();
    looked.close();
    // Another conversion may have written between the look and the lock: what counts is
    // the header under the lock.
    file.lockForConversion();
    const std::optional<Layout> found = readHeader(file, onDisk);
    if (needsConverting(found, target) &&
        writeHeaderOrRestore(file, onDisk, composeHeader(target, groupsOf(onDisk, *found))) ==
            HeaderWrite::FileReplaced) {
        file.close();
        throw Failure(FailureNumber::DeviceIo,
                      "El archivo cambió mientras se convertía: otro programa lo reemplazó. No se convirtió",
                      file.path());
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
