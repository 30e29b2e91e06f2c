#include "words/system_error_words.h"

#include <array>
#include <cerrno>

namespace vuelco::words {
namespace {

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

std::span<const SystemText> systemTexts() { return kSystemTexts; }

} // namespace vuelco::words
