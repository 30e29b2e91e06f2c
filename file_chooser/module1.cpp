#include "file_chooser/module1.h"

#include "forms/native_paths.h"

namespace vuelco::Module1 {

QString NombreArchivo(const QString &Ruta)
{
    return Ruta.mid(Ruta.lastIndexOf(vuelco::forms::pathSeparator()) + 1);
}

} // namespace vuelco::Module1
