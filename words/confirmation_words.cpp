#include "words/confirmation_words.h"

namespace vuelco::words {

std::vector<std::string> overwriteQuestion(Overwritten what, std::size_t files)
{
    const bool one = files == 1;
    std::vector<std::string> lines;
    if (!one)
        lines.push_back("Los " + std::to_string(files) + " archivos a convertir se van a");
    else if (what == Overwritten::ChosenFile)
        lines.emplace_back("El archivo elegido se va a");
    else
        lines.emplace_back("El archivo a convertir se va a");
    lines.emplace_back(one ? "Sobreescribir para convertirlo." : "Sobreescribir para convertirlos.");
    lines.emplace_back("Antes: es aconsejable hacer una");
    lines.emplace_back(one ? "copia de seguridad del mismo." : "copia de seguridad de los mismos.");
    lines.emplace_back();
    lines.emplace_back("¿Está seguro?");
    return lines;
}

} // namespace vuelco::words
