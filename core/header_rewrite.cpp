#include "core/header_rewrite.h"

#include "runtime/binary_file.h"

#include <span>

namespace vuelco {

RewriteOutcome rewriteHeader(const std::filesystem::path &path, Layout target, const Groups &groups)
{
    BinaryFile file = BinaryFile::openForUpdate(path);

    Header onDisk{};
    const std::size_t got = file.read(0, onDisk);
    if (got != onDisk.size() || onDisk != composeHeader(otherLayout(target), groups))
        return RewriteOutcome::ChangedSinceLoaded;

    // One write from the layout code to the end of the header, never nine: a process
    // killed between separate writes would leave a header that is neither layout. Twelve
    // bytes inside the first sector reach the file as one piece.
    const Header converted = composeHeader(target, groups);
    file.write(kLayoutCodeOffset, std::span(converted).subspan(kLayoutCodeOffset));
    file.flush();
    file.close();
    return RewriteOutcome::Converted;
}

} // namespace vuelco
