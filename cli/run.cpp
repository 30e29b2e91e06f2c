#include "cli/run.h"

#include "cli/arguments.h"
#include "core/header_probe.h"
#include "core/header_rewrite.h"
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

constexpr std::string_view kChangedSinceProbe =
    "El archivo cambió mientras se convertía; no se escribió nada.";

// Shows or converts one file; returns whether it went as asked.
bool handleFile(const Arguments &arguments, const std::string &file, std::ostream &out, std::ostream &err)
{
    try {
        const ProbeResult probe = probeHeader(file);
        if (!probe.layout) {
            out << file << '\t' << kUnknownCaption;
            if (arguments.command == Command::Convert) {
                out << " (no se convierte)\n";
                return false;
            }
            out << '\n';
            return true;
        }
        const Layout current = *probe.layout;
        if (arguments.command != Command::Convert) {
            out << file << '\t' << layoutCaption(current) << '\n';
            return true;
        }
        if (current == arguments.target) {
            out << file << '\t' << layoutCaption(current) << " (ya estaba en ese formato)\n";
            return true;
        }
        if (rewriteHeader(file, arguments.target, probe.groups) == RewriteOutcome::ChangedSinceLoaded) {
            err << file << ": " << kChangedSinceProbe << '\n';
            return false;
        }
        out << file << '\t' << layoutCaption(current) << " -> " << layoutCaption(arguments.target) << '\n';
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
