#include "cli/run.h"

#include "cli/arguments.h"
#include "core/header_convert.h"
#include "core/header_probe.h"
#include "runtime/failure.h"

#include <ostream>

namespace vuelco::cli {
namespace {

constexpr std::string_view kUsage =
    "Uso: vuelco-cli [--a-arcade | --a-emulador] ARCHIVO...\n"
    "Muestra el formato de la cabecera de cada archivo BGA (.dat) o lo convierte en el mismo archivo.\n"
    "\n"
    "  --a-arcade     convierte al formato \"BGA, Arcade\"\n"
    "  --a-emulador   convierte al formato \"BGA, Emulador Pc\"\n"
    "  --help         muestra esta ayuda\n"
    "  --version      muestra la versión\n"
    "\n"
    "Solo se reescriben nueve bytes de la cabecera; no se hace copia de seguridad.\n"
    "Sale con 0 si todo fue bien, 1 si algún archivo falló o no se pudo convertir, 2 si la orden es incorrecta.\n";

// Shows or converts one file; returns whether it went as asked.
bool handleFile(const Arguments &arguments, const std::string &file, std::ostream &out, std::ostream &err)
{
    try {
        if (arguments.command != Command::Convert) {
            const ProbeResult probe = probeHeader(fileArgumentPath(file));
            out << file << '\t' << (probe.layout ? layoutCaption(*probe.layout) : kUnknownCaption) << '\n';
            return true;
        }
        // One pass through one handle per file: a batch costs what its files' headers cost.
        const std::optional<Layout> found = convertHeader(fileArgumentPath(file), arguments.target);
        if (!found) {
            out << file << '\t' << kUnknownCaption << " (no se convierte)\n";
            return false;
        }
        if (*found == arguments.target) {
            out << file << '\t' << layoutCaption(*found) << " (ya estaba en ese formato)\n";
            return true;
        }
        out << file << '\t' << layoutCaption(*found) << " -> " << layoutCaption(arguments.target) << '\n';
        return true;
    } catch (const Failure &failure) {
        err << file << ": " << errorPrompt(failure, '\n') << '\n';
        return false;
    }
}

} // namespace

int run(std::span<const std::string_view> words, std::ostream &out, std::ostream &err)
{
    const ParsedArguments parsed = parseArguments(words);
    if (!parsed.arguments) {
        err << "vuelco-cli: " << parsed.error << "\n" << kUsage;
        return 2;
    }
    const Arguments &arguments = *parsed.arguments;
    switch (arguments.command) {
    case Command::Help:
        out << kUsage;
        return 0;
    case Command::Version:
        out << "vuelco-cli 1.00\n";
        return 0;
    case Command::Show:
    case Command::Convert:
        break;
    }
    bool allWell = true;
    for (const std::string &file : arguments.files)
        allWell = handleFile(arguments, file, out, err) && allWell;
    return allWell ? 0 : 1;
}

} // namespace vuelco::cli
