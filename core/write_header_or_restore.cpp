#include "core/write_header_or_restore.h"

#include "runtime/binary_file.h"
#include "runtime/failure.h"

#include <span>

namespace vuelco {
namespace {

void writeFromLayoutCode(BinaryFile &file, const Header &header)
{
    file.write(kLayoutCodeOffset, std::span(header).subspan(kLayoutCodeOffset));
    file.flush();
}

} // namespace

void writeHeaderOrRestore(BinaryFile &file, const Header &old, const Header &converted)
{
    try {
        writeFromLayoutCode(file, converted);
    } catch (const Failure &) {
        try {
            writeFromLayoutCode(file, old);
        } catch (const Failure &) {
            // Putting back failed as well: the first failure is the one to report.
        }
        throw;
    }
}

} // namespace vuelco
