#include "words/system_error_words.h"

#include <array>

#include "runtime/api_win32.h"

namespace vuelco::words {

// The errors that have no number of the program's own.
std::span<const SystemText> systemTexts()
{
    static constexpr std::array kSystemTexts{
        SystemText{ERROR_INVALID_FUNCTION, "función no válida"},
        SystemText{ERROR_NOT_ENOUGH_MEMORY, "memoria insuficiente"},
        SystemText{ERROR_NOT_SUPPORTED, "operación no admitida"},
        SystemText{ERROR_UNEXP_NET_ERR, "error inesperado de la red"},
        SystemText{ERROR_NETNAME_DELETED, "se perdió la conexión con la carpeta de red"},
        SystemText{ERROR_SEM_TIMEOUT, "se agotó el tiempo de espera"},
        SystemText{ERROR_OPERATION_ABORTED, "operación cancelada"},
        SystemText{ERROR_USER_MAPPED_FILE, "otro programa tiene el archivo proyectado en memoria"},
        SystemText{ERROR_NETWORK_UNREACHABLE, "no se puede llegar a la red"},
        SystemText{ERROR_FILE_CORRUPT, "el archivo o la carpeta están dañados"},
        SystemText{ERROR_DISK_CORRUPT, "la estructura del disco está dañada"},
        SystemText{ERROR_CANT_ACCESS_FILE, "no se puede acceder al archivo"},
    };
    return kSystemTexts;
}

} // namespace vuelco::words
