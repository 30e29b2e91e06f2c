#include "core/header_rewrite.h"

#include "runtime/binary_file.h"
#include "runtime/failure.h"

#include <span>

namespace vuelco {
namespace {

// A write that fell short and then failed has put part of the new header on the disk,
// and after a failed flush the new header may or may not reach it: the verified old
// bytes go back, so the file keeps neither a mix nor a conversion that was reported as
// failed. The first failure is the one reported; if putting back fails too, nothing
// more can be done here.
void putBack(BinaryFile &file, const Header &old) noexcept
{
    try {
        file.write(kLayoutCodeOffset, std::span(old).subspan(kLayoutCodeOffset));
        file.flush();
    } catch (const Failure &) {
    }
}

} // namespace

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
    try {
        file.write(kLayoutCodeOffset, std::span(converted).subspan(kLayoutCodeOffset));
        file.flush();
    } catch (const Failure &) {
        putBack(file, onDisk);
        throw;
    }
    file.close();
    return RewriteOutcome::Converted;
}

} // namespace vuelco
