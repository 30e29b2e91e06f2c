#include "cli/run.h"

#include "cli/arguments.h"
#include "cli/file_list.h"
#include "cli/ordered_pool.h"
#include "cli/progress_line.h"
#include "core/convert_in_one_pass.h"
#include "core/header_probe.h"
#include "runtime/unexpected_failure.h"

#include <ostream>
#include <string>
#include <type_traits>

namespace vuelco::cli {
namespace {

std::string usage()
{
    return "Uso: vuelco-cli [-r] [-n] [-j N] [--a-arcade | --a-emulador] ARCHIVO...\n"
           "Muestra el formato de la cabecera de cada archivo BGA (.dat) o lo convierte en el mismo archivo.\n"
           "\n"
           "  --a-arcade       convierte al formato \"BGA, Arcade\"\n"
           "  --a-emulador     convierte al formato \"BGA, Emulador Pc\"\n"
           "  -r, --recursivo  recorre las carpetas dadas y sus subcarpetas y toma los archivos cuyo\n"
           "                   nombre termina en \".dat\" (en mayúsculas o minúsculas), por orden de\n"
           "                   nombre; no sigue enlaces simbólicos, ni a carpetas ni a archivos\n"
           "  -n, --simular    dice qué se convertiría, sin escribir nada\n"
           "  -j N             trata N archivos a la vez (de 1 a " +
           std::to_string(kMostWorkers) + "; si no se indica, " + std::to_string(kDefaultWorkers) +
           ")\n"
           "  --help           muestra esta ayuda\n"
           "  --version        muestra la versión\n"
           "\n"
           "Los archivos nombrados se tratan sea cual sea su nombre. Los resultados salen en el orden\n"
           "de los nombres y del recorrido; un archivo nombrado dos veces se trata una sola vez.\n"
           "Cada archivo convertido queda escrito en el disco antes de contarse. Al final, una línea en\n"
           "la salida de errores cuenta los convertidos, los que ya estaban en ese formato, los no\n"
           "reconocidos y los fallidos.\n"
           "Solo se reescriben nueve bytes de la cabecera; no se hace copia de seguridad.\n"
           "Sale con 0 si todo fue bien, 1 si algún archivo falló o no se pudo convertir, 2 si la orden es incorrecta.\n";
}

enum class Result : std::uint8_t { Shown, Converted, AlreadyThere, Unrecognised, Failed };

struct FileResult {
    Result result = Result::Failed;
    std::optional<Layout> found;
    std::string failure;   // with Failed: the "Error # ..." text
};

struct Tally {
    std::size_t converted = 0;
    std::size_t alreadyThere = 0;
    std::size_t unrecognised = 0;
    std::size_t failed = 0;
};

// Shows, converts or previews one file; runs on a worker.
FileResult handleFile(const Arguments &arguments, const std::filesystem::path::string_type &name)
{
    try {
        const std::filesystem::path file(name);
        if (arguments.command != Command::Convert) {
            const ProbeResult probe = probeHeader(file);
            return {Result::Shown, probe.layout, {}};
        }
        // One pass through one handle per file: a batch costs what its files' headers cost.
        const std::optional<Layout> found = arguments.simulate ? previewConversion(file, arguments.target)
                                                               : convertInOnePass(file, arguments.target);
        if (!found)
            return {Result::Unrecognised, found, {}};
        return {*found == arguments.target ? Result::AlreadyThere : Result::Converted, found, {}};
    } catch (...) {
        return {Result::Failed, std::nullopt, errorPrompt(currentFailure(), '\n')};
    }
}

// A name as the terminal shows it: the system's own text, or on Windows, where that is
// wide, the UTF-8 that the program writes there.
template <typename Native>
void assignName(std::string &line, const Native &name)
{
    if constexpr (std::is_same_v<Native, std::string>) {
        line = name;
    } else {
        const std::u8string text = std::filesystem::path(name).u8string();
        line.assign(text.begin(), text.end());
    }
}

// Writes a file's line and counts it. A batch writes thousands of lines: each goes out
// in one piece, composed in the same buffer.
void report(const Arguments &arguments, const std::filesystem::path::string_type &file, const FileResult &result,
            std::ostream &out, std::ostream &err, Tally &tally, std::string &line)
{
    assignName(line, file);
    switch (result.result) {
    case Result::Shown:
        line.append("\t").append(result.found ? layoutCaption(*result.found) : kUnknownCaption);
        break;
    case Result::Converted:
        ++tally.converted;
        line.append("\t").append(layoutCaption(*result.found)).append(" -> ").append(layoutCaption(arguments.target));
        if (arguments.simulate)
            line.append(" (se convertiría)");
        break;
    case Result::AlreadyThere:
        ++tally.alreadyThere;
        line.append("\t").append(layoutCaption(*result.found)).append(" (ya estaba en ese formato)");
        break;
    case Result::Unrecognised:
        ++tally.unrecognised;
        line.append("\t").append(kUnknownCaption).append(" (no se convierte)");
        break;
    case Result::Failed:
        ++tally.failed;
        line.append(": ").append(result.failure).append("\n");
        err << line;
        return;
    }
    line += '\n';
    out << line;
}

void summarise(const Arguments &arguments, const Tally &tally, std::ostream &err)
{
    err << (arguments.simulate ? "Se convertirían: " : "Convertidos: ") << tally.converted
        << ", ya en ese formato: " << tally.alreadyThere << ", no reconocidos: " << tally.unrecognised
        << ", fallidos: " << tally.failed << (arguments.simulate ? " (simulación: no se escribió nada)\n" : "\n");
}

} // namespace

int run(std::span<const std::string_view> words, std::ostream &out, std::ostream &err, Terminals terminals)
{
    ParsedArguments parsed = parseArguments(words);
    if (!parsed.arguments) {
        err << "vuelco-cli: " << parsed.error << "\n" << usage();
        return 2;
    }
    Arguments arguments = *std::move(parsed.arguments);
    switch (arguments.command) {
    case Command::Help:
        out << usage();
        return 0;
    case Command::Version:
        out << "vuelco-cli " VUELCO_VERSION "\n";
        return 0;
    case Command::Show:
    case Command::Convert:
        break;
    }

    const FileList entries = listFiles(std::move(arguments.files), arguments.recursive);
    std::vector<FileResult> results(entries.size());
    Tally tally;
    std::size_t delivered = 0;
    std::string line;
    ProgressLine progress(err, entries.size(), terminals.err);
    runInOrder(
        entries.size(), arguments.workers.value_or(kDefaultWorkers),
        [&](std::size_t i) {
            if (!entries[i].walkFailure)
                results[i] = handleFile(arguments, entries[i].name);
        },
        [&](std::size_t i) {
            if (entries[i].walkFailure)
                results[i] = {Result::Failed, std::nullopt, errorPrompt(*entries[i].walkFailure, '\n')};
            if (results[i].result == Result::Failed || terminals.out)
                progress.hide();
            report(arguments, entries[i].name, results[i], out, err, tally, line);
            results[i] = {};
            progress.update(++delivered);
        });
    progress.hide();

    if (arguments.command == Command::Convert)
        summarise(arguments, tally, err);
    return tally.failed == 0 && tally.unrecognised == 0 ? 0 : 1;
}

} // namespace vuelco::cli
