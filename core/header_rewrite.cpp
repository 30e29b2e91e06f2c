#include "core/header_rewrite.h"

#include "core/header_write.h"
#include "runtime/binary_file.h"

namespace vuelco {

RewriteOutcome rewriteHeader(const std::filesystem::path &path, Layout target, const Groups &groups)
{
    BinaryFile file = BinaryFile::openForUpdate(path);

    Header onDisk{};
    const std::size_t got = file.read(0, onDisk);
    if (got != onDisk.size() || onDisk != composeHeader(otherLayout(target), groups))
        return RewriteOutcome::ChangedSinceLoaded;

    replaceHeader(file, onDisk, composeHeader(target, groups));
    file.close();
    return RewriteOutcome::Converted;
}

} // namespace vuelco
