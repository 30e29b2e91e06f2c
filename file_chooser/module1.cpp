#include "file_chooser/module1.h"

#include "forms/native_paths.h"

namespace Module1 {

QString NombreArchivo(const QString &Ruta)
{
    return Ruta.mid(Ruta.lastIndexOf(vuelco::forms::pathSeparator()) + 1);
}

} // namespace Module1
