#include "core/write_header_or_restore.h"

#include "runtime/binary_file.h"
#include "runtime/failure.h"

#include <span>
#include <string>

namespace vuelco {
namespace {

void writeFromLayoutCode(BinaryFile &file, const Header &header)
{
    file.write(kLayoutCodeOffset, std::span(header).subspan(kLayoutCodeOffset));
    file.flush();
}

// Writes old back after cause. Failing that, nothing is known of the header any more,
// and the user must hear it plainly rather than the cause alone.
void putBack(BinaryFile &file, const Header &old, const std::string &cause)
{
    try {
        writeFromLayoutCode(file, old);
    } catch (const Failure &failure) {
        throw Failure(FailureNumber::DeviceIo,
                      cause + ". No se pudo volver a escribir la cabecera anterior (" + failure.description() +
                          "): la cabecera puede haber quedado a medio convertir. Compruebe el archivo",
                      failure.path());
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
        putBack(file, old, failure.description());
        throw;
    }
    putBack(file, old, "Otro programa reemplazó el archivo durante la conversión");
    return HeaderWrite::FileReplaced;
}

} // namespace vuelco
