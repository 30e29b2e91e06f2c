#include "cli/arguments.h"

#include <charconv>
#include <type_traits>

namespace vuelco::cli {
namespace {

// The worker count of "-j N" or "-jN", or nothing when it is not a whole number in range.
std::optional<unsigned> workerCount(std::string_view text)
{
    unsigned count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc{} || end != text.data() + text.size() || count < 1 || count > batch::kMostWorkers)
        return std::nullopt;
    return count;
}

// A template, so that only the system's own branch is compiled.
template <class Native>
Native nativeName(std::string_view word)
{
    if constexpr (std::is_same_v<Native, std::string>)
        return Native(word);
    else
        return std::filesystem::path(std::u8string(word.begin(), word.end())).native();
}

template <class Native>
Native nativeName(std::string &&word)
{
    if constexpr (std::is_same_v<Native, std::string>)
        return std::move(word);
    else
        return nativeName<Native>(std::string_view(word));
}

Arguments onlyCommand(Command command)
{
    Arguments arguments;
    arguments.command = command;
    return arguments;
}

} // namespace

ParsedArguments parseArguments(std::span<const std::string_view> words)
{
    Arguments arguments;
    arguments.files.reserve(words.size());
    bool targetGiven = false;
    bool optionsEnded = false;
    for (std::size_t at = 0; at < words.size(); ++at) {
        const std::string_view word = words[at];
        // "/?" is how Windows programs are asked for help.
        if (!optionsEnded && word == "/?")
            return {onlyCommand(Command::Help), {}};
        if (optionsEnded || word.empty() || word.front() != '-' || word == "-") {
            arguments.files.emplace_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
        } else if (word == "--help" || word == "-h") {
            return {onlyCommand(Command::Help), {}};
        } else if (word == "--version") {
            return {onlyCommand(Command::Version), {}};
        } else if (word == "--a-arcade" || word == "--a-emulador") {
            const Layout target = word == "--a-arcade" ? Layout::Arcade : Layout::PcEmulator;
            if (targetGiven && target != arguments.target)
                return {std::nullopt, "no se puede convertir a los dos formatos a la vez"};
            targetGiven = true;
            if (arguments.command != Command::Undo)
                arguments.command = Command::Convert;
            arguments.target = target;
        } else if (word == "--deshacer" || word == "--registro") {
            // A name that starts with a dash is an option forgotten its file ("./-x" names
            // such a file); "-" alone is standard input, which only an undo reads.
            const std::string_view file = at + 1 < words.size() ? words[at + 1] : std::string_view{};
            if (file.empty() || (file.front() == '-' && (file != "-" || word == "--registro")))
                return {std::nullopt, std::string(word) + " necesita el nombre de un archivo"};
            if (word == "--registro") {
                arguments.recordFile = words[++at];
            } else {
                arguments.undoRecord = words[++at];
                arguments.command = Command::Undo;
            }
        } else if (word == "-r" || word == "--recursivo") {
            arguments.recursive = true;
        } else if (word == "-n" || word == "--simular") {
            arguments.simulate = true;
        } else if (word == "--json") {
            arguments.json = true;
        } else if (word.starts_with("-j")) {
            const std::string_view count = word.size() > 2 ? word.substr(2)
                                           : at + 1 < words.size() ? words[++at]
                                                                   : std::string_view{};
            arguments.workers = workerCount(count);
            if (!arguments.workers)
                return {std::nullopt,
                        "-j pide un número de trabajadores de 1 a " + std::to_string(batch::kMostWorkers)};
        } else {
            return {std::nullopt, "opción desconocida: " + std::string(word)};
        }
    }
    if (arguments.command == Command::Undo) {
        if (targetGiven)
            return {std::nullopt, "--deshacer no se combina con --a-arcade ni con --a-emulador"};
        if (!arguments.files.empty())
            return {std::nullopt, "--deshacer no toma más archivos que el registro"};
        return {std::move(arguments), {}};
    }
    if (arguments.simulate && arguments.command != Command::Convert)
        return {std::nullopt, "--simular necesita --a-arcade, --a-emulador o --deshacer"};
    if (!arguments.recordFile.empty() && arguments.command != Command::Convert)
        return {std::nullopt, "--registro necesita --a-arcade, --a-emulador o --deshacer"};
    if (arguments.files.empty())
        return {std::nullopt, "falta el archivo"};
    return {std::move(arguments), {}};
}

std::filesystem::path::string_type fileArgumentName(std::string_view word)
{
    return nativeName<std::filesystem::path::string_type>(word);
}

std::filesystem::path::string_type fileArgumentName(std::string &&word)
{
    return nativeName<std::filesystem::path::string_type>(std::move(word));
}

} // namespace vuelco::cli
