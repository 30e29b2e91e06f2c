#include "core/write_header_or_restore.h"

#include "runtime/binary_file.h"
#include "runtime/failure.h"
#include "runtime/identity_policy.h"

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
        const std::optional<Header> now = identity::headerAtItsPlace(file);
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
        if (identity::holdsWhatWasWritten(file, converted))
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
