#include "core/convert_if_unchanged.h"

#include "core/write_header_or_restore.h"
#include "runtime/binary_file.h"

namespace vuelco {

ConversionOutcome convertIfUnchanged(const std::filesystem::path &path, Layout target, const Groups &groups)
{
    BinaryFile file = BinaryFile::openForUpdate(path);
    file.lockForConversion();

    Header onDisk{};
    const std::size_t got = file.read(0, onDisk);
    if (got != onDisk.size() || onDisk != composeHeader(otherLayout(target), groups))
        return ConversionOutcome::ChangedSinceLoaded;

    const HeaderWrite written = writeHeaderOrRestore(file, onDisk, composeHeader(target, groups));
    file.close();
    return written == HeaderWrite::Written ? ConversionOutcome::Converted : ConversionOutcome::ChangedSinceLoaded;
}

} // namespace vuelco
