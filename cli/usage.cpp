#include "cli/usage.h"

#include "batch/request.h"

namespace vuelco::cli {

std::string usage()
{
    return "Uso: vuelco-cli [-r] [-n] [-j N] [--json] [--a-arcade | --a-emulador] [--] ARCHIVO...\n"
           "Muestra el formato de la cabecera de cada archivo BGA (.dat) o lo convierte en el mismo archivo.\n"
           "\n"
           "  --a-arcade       convierte al formato \"BGA, Arcade\"\n"
           "  --a-emulador     convierte al formato \"BGA, Emulador Pc\"\n"
           "  -r, --recursivo  recorre las carpetas dadas y sus subcarpetas y toma los archivos cuyo\n"
           "                   nombre termina en \".dat\" (en mayúsculas o minúsculas), por orden de\n"
           "                   nombre; no sigue enlaces simbólicos, ni a carpetas ni a archivos\n"
           "  -n, --simular    dice qué se convertiría, sin abrir nada para escribir\n"
           "  -j N             trata hasta N archivos a la vez (de 1 a " +
           std::to_string(batch::kMostWorkers) + "; si no se indica, hasta " +
           std::to_string(batch::kDefaultWorkers) +
           ";\n"
           "                   empieza con uno por núcleo, dos al menos, y añade más mientras el\n"
           "                   disco tarda en escribir)\n"
           "  --json           escribe un objeto JSON por línea en lugar de texto\n"
           "  --help           muestra esta ayuda\n"
           "  --version        muestra la versión\n"
           "\n"
           "Los archivos nombrados se tratan sea cual sea su nombre. Los resultados salen en el orden\n"
           "de los nombres y del recorrido. Un archivo nombrado varias veces (con otra ruta, por un\n"
           "enlace o un enlace duro) se trata una sola vez; sus otros nombres se dan como el mismo archivo.\n"
           "Solo se abre para escribir un archivo que hay que convertir, y queda escrito en el disco\n"
           "antes de contarse. Solo se reescriben nueve bytes de la cabecera; no se hace copia de seguridad.\n"
           "\n"
           "Texto: una línea por archivo en la salida estándar, con el nombre, un tabulador y el\n"
           "resultado; cada fallo, en una sola línea de la salida de errores: \"nombre: Error # N: texto\".\n"
           "En los nombres, \\t, \\n y \\\\ son un tabulador, un salto de línea y una barra inversa, y\n"
           "\\ con tres cifras octales, cualquier otro carácter de control o byte que no sea UTF-8.\n"
           "Al convertir o simular, una última línea en la salida de errores cuenta los convertidos,\n"
           "los que ya estaban en ese formato, los no reconocidos y los fallidos.\n"
           "\n"
           "JSON (--json): en la salida estándar, un objeto por línea y por archivo, con \"nombre\",\n"
           "\"resultado\" (visto, convertido, se_convertiria, ya_en_ese_formato, no_reconocido,\n"
           "mismo_archivo o fallido), \"formato\" y \"despues\" (el formato antes y después, o null),\n"
           "\"mismo_que\", \"error\" y \"texto\" (el número y el texto de un fallo, o null); al final, un\n"
           "objeto con \"resumen\" (las cuentas), \"simulacion\" e \"interrumpido\". Un byte de un nombre\n"
           "que no es UTF-8 va como \\udc80 a \\udcff (el byte más DC00), como lo devuelve os.fsencode\n"
           "de Python; en Windows, una mitad suelta de un par UTF-16 va como ella misma (\\ud800 a \\udfff).\n"
           "\n"
           "Ctrl+C o SIGTERM (en Windows, Ctrl+C o Ctrl+Break): no se toman más archivos; los que están\n"
           "en curso terminan enteros, y se escriben sus líneas y el resumen; una segunda señal termina\n"
           "el programa en el acto.\n"
           "\n"
           "Estado de salida:\n"
           "  0    todo fue bien\n"
           "  1    algún archivo falló o no se pudo convertir\n"
           "  2    la orden es incorrecta\n"
           "  3    no se pudo escribir la salida: no se tomaron más archivos\n"
           "  130  se interrumpió con Ctrl+C\n"
           "  143  se interrumpió con SIGTERM (en Windows, Ctrl+Break)\n";
}

} // namespace vuelco::cli
