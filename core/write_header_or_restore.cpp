#include "core/write_header_or_restore.h"

#include "runtime/binary_file.h"
#include "runtime/failure.h"

#include <optional>
#include <span>
#include <string>

namespace vuelco {
namespace {

void writeFromLayoutCode(BinaryFile &file, const Header &header)
{
    file.write(kLayoutCodeOffset, std::span(header).subspan(kLayoutCodeOffset));
    file.flush();
}

// The header the file holds now, read through an open of its own, as the handle written
// through may be what failed; nothing when it cannot be read, or the path names another
// file now.
std::optional<Header> headerNowIn(const BinaryFile &file) noexcept
{
    try {
        BinaryFile fresh = BinaryFile::openForReading(file.path());
        Header header{};
        if (fresh.identity() != file.identity() || fresh.read(0, header) != header.size())
            return std::nullopt;
        return header;
    } catch (...) {
        return std::nullopt;
    }
}

// Writes old back after cause. When that fails too, what the file holds tells what the
// user hears: still the old header, cause alone (this returns); the new one, that the
// file is converted but not known to be on the device; anything else, that the header
// may be half converted.
void putBack(BinaryFile &file, const Header &old, const Header &converted, const Failure &cause)
{
    try {
        writeFromLayoutCode(file, old);
        return;
    } catch (const Failure &failure) {
        const std::optional<Header> now = headerNowIn(file);
        if (now == old)
            return;
        if (now == converted)
            throw Failure(cause.number(), cause.path(), FailureCause::WrittenButNotConfirmed, {cause});
        throw Failure(FailureNumber::DeviceIo, failure.path(), FailureCause::NotPutBack, {cause, failure});
    }
}

} // namespace

HeaderWrite writeHeaderOrRestore(BinaryFile &file, const Header &old, const Header &converted)
{
    try {
        writeFromLayoutCode(file, converted);
        if (file.isStillAtItsPath())
            return HeaderWrite::Written;
    } catch (const WriteRefused &) {
        // Not one byte reached the file: there is nothing to take back, and an undo would
        // only be refused the same way (a full copy-on-write volume) and raise a false alarm.
        throw;
    } catch (const Failure &failure) {
        putBack(file, old, converted, failure);
        throw;
    }
    putBack(file, old, converted,
            Failure(FailureNumber::DeviceIo, file.path(), FailureCause::ReplacedWhileWriting));
    return HeaderWrite::FileReplaced;
}

} // namespace vuelco
