#include "runtime/system_errors_posix.h"

#include "runtime/system_calls_posix.h"

#include <algorithm>
#include <array>
#include <cerrno>

namespace vuelco {
namespace {

bool parentIsFolder(const std::filesystem::path &path)
{
    const auto parent = path.parent_path();
    struct stat status {};
    return parent.empty() ||
           (posixCalls().stat(AT_FDCWD, parent.c_str(), &status, 0) == 0 && S_ISDIR(status.st_mode));
}

// The system's errors that stand for the same failure number, with its standard
// description, whatever the call and path.
struct Cause {
    int error;
    FailureNumber number;
};

constexpr std::array kCauses{
    Cause{ENOTDIR, FailureNumber::PathNotFound}, Cause{ELOOP, FailureNumber::PathNotFound},
    Cause{EROFS, FailureNumber::ReadOnly},
    Cause{EBUSY, FailureNumber::PermissionDenied}, Cause{ETXTBSY, FailureNumber::PermissionDenied},
    Cause{EILSEQ, FailureNumber::BadFileName}, Cause{EINVAL, FailureNumber::BadFileName},
    Cause{ENOSPC, FailureNumber::DiskFull}, Cause{EDQUOT, FailureNumber::DiskFull},
    Cause{EMFILE, FailureNumber::TooManyFiles}, Cause{ENFILE, FailureNumber::TooManyFiles},
    Cause{ENODEV, FailureNumber::DeviceNotReady}, Cause{ENXIO, FailureNumber::DeviceNotReady},
    Cause{ENOMEDIUM, FailureNumber::DeviceNotReady},
    Cause{EIO, FailureNumber::DeviceIo},
};

// The causes of the errors left, in Spanish words, for "Error del sistema N (...)": those a
// file on a local disk, a network share or an encrypted folder can meet.
struct SystemText {
    int error;
    const char *text;
};

constexpr std::array kSystemTexts{
    SystemText{EAGAIN, "recurso no disponible por ahora"},
    SystemText{EBADF, "descriptor de archivo incorrecto"},
    SystemText{ECANCELED, "operación cancelada"},
    SystemText{ECOMM, "error de comunicación"},
    SystemText{ECONNABORTED, "conexión interrumpida"},
    SystemText{ECONNREFUSED, "conexión rechazada"},
    SystemText{ECONNRESET, "el otro extremo cerró la conexión"},
    SystemText{EDEADLK, "se evitó un bloqueo mutuo"},
    SystemText{EFBIG, "archivo demasiado grande"},
    SystemText{EHOSTDOWN, "el equipo no responde"},
    SystemText{EHOSTUNREACH, "no se puede llegar al equipo"},
    SystemText{EINTR, "llamada interrumpida"},
    SystemText{EISDIR, "es una carpeta"},
    SystemText{EKEYEXPIRED, "la clave del archivo cifrado caducó"},
    SystemText{EMLINK, "demasiados enlaces"},
    SystemText{ENETDOWN, "la red no funciona"},
    SystemText{ENETRESET, "la red cortó la conexión"},
    SystemText{ENETUNREACH, "no se puede llegar a la red"},
    SystemText{ENOBUFS, "no queda espacio para búferes"},
    SystemText{ENODATA, "no hay datos disponibles"},
    SystemText{ENOKEY, "falta la clave del archivo cifrado"},
    SystemText{ENOLCK, "no quedan bloqueos disponibles"},
    SystemText{ENOLINK, "se cortó el enlace con el equipo remoto"},
    SystemText{ENOMEM, "memoria insuficiente"},
    SystemText{ENOSYS, "función no disponible"},
    SystemText{ENOTCONN, "sin conexión"},
    SystemText{ENOTSUP, "operación no admitida"},
    SystemText{ENOTTY, "operación no válida para el dispositivo"},
    SystemText{EOVERFLOW, "valor demasiado grande para su tipo"},
    SystemText{EPIPE, "el lector se fue (tubería rota)"},
    SystemText{EPROTO, "error de protocolo"},
    SystemText{EREMOTEIO, "error de E/S en el equipo remoto"},
    SystemText{ESPIPE, "no admite posiciones"},
    SystemText{ESTALE, "identificador de archivo caducado; vuelva a montar la unidad"},
    SystemText{ETIMEDOUT, "se agotó el tiempo de espera"},
    SystemText{EUCLEAN, "el sistema de archivos necesita una revisión"},
    SystemText{EXDEV, "enlace entre dispositivos no válido"},
};

} // namespace

// Permission refused on a write open is what a file marked read-only gives, so it counts as
// ReadOnly; on a read open it stays PermissionDenied.
Failure failureFromErrno(int error, bool openingForUpdate, const std::filesystem::path &path)
{
    const auto standard = [&](FailureNumber number) {
        return Failure(number, standardDescription(number), path);
    };
    if (error == ENOENT)
        return standard(parentIsFolder(path) ? FailureNumber::FileNotFound : FailureNumber::PathNotFound);
    if (error == ENAMETOOLONG)
        return nameTooLong(path);
    if (error == EACCES || error == EPERM)
        return standard(openingForUpdate ? FailureNumber::ReadOnly : FailureNumber::PermissionDenied);
    const auto cause =
        std::find_if(kCauses.begin(), kCauses.end(), [error](const Cause &c) { return c.error == error; });
    if (cause != kCauses.end())
        return standard(cause->number);
    const auto known = std::find_if(kSystemTexts.begin(), kSystemTexts.end(),
                                    [error](const SystemText &t) { return t.error == error; });
    return Failure(FailureNumber::DeviceIo,
                   systemErrorDescription(static_cast<std::uint32_t>(error),
                                          known == kSystemTexts.end() ? nullptr : known->text),
                   path);
}

} // namespace vuelco
