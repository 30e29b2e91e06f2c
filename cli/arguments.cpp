#include "cli/arguments.h"

namespace vuelco::cli {

ParsedArguments parseArguments(std::span<const std::string_view> words)
{
    Arguments arguments;
    bool targetGiven = false;
    bool optionsEnded = false;
    for (const std::string_view word : words) {
        // "/?" is how Windows programs are asked for help.
        if (!optionsEnded && word == "/?")
            return {Arguments{Command::Help, {}, {}}, {}};
        if (optionsEnded || word.empty() || word.front() != '-' || word == "-") {
            arguments.files.emplace_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
        } else if (word == "--help" || word == "-h") {
            return {Arguments{Command::Help, {}, {}}, {}};
        } else if (word == "--version") {
            return {Arguments{Command::Version, {}, {}}, {}};
        } else if (word == "--a-arcade" || word == "--a-emulador") {
            const Layout target = word == "--a-arcade" ? Layout::Arcade : Layout::PcEmulator;
            if (targetGiven && target != arguments.target)
                return {std::nullopt, "no se puede convertir a los dos formatos a la vez"};
            targetGiven = true;
            arguments.command = Command::Convert;
            arguments.target = target;
        } else {
            return {std::nullopt, "opción desconocida: " + std::string(word)};
        }
    }
    if (arguments.files.empty())
        return {std::nullopt, "falta el archivo"};
    return {std::move(arguments), {}};
}

std::filesystem::path fileArgumentPath(std::string_view word)
{
    return std::filesystem::path(std::u8string(word.begin(), word.end()));
}

} // namespace vuelco::cli
