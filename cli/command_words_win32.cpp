#include "cli/command_words_win32.h"

#include "runtime/api_win32.h"
// After api_win32.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <string_view>

namespace vuelco::cli {
namespace {

bool isFileArgument(std::wstring_view word, bool optionsEnded)
{
    return optionsEnded || (word != L"/?" && !(word.size() > 1 && word.front() == L'-'));
}

std::wstring upper(std::wstring_view text)
{
    std::wstring result(text);
    if (!result.empty())
        CharUpperBuffW(result.data(), static_cast<DWORD>(result.size()));
    return result;
}

// "*" any run of characters, "?" exactly one; both texts already in upper case.
bool matches(std::wstring_view pattern, std::wstring_view name)
{
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starAt = std::wstring_view::npos;
    std::size_t resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::wstring_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*')
        ++p;
    return p == pattern.size();
}

std::vector<std::wstring> entriesMatching(const std::wstring &word)
{
    const std::size_t nameAt = word.find_last_of(L"\\/:") + 1;  // npos + 1 is 0
    const std::wstring folder = word.substr(0, nameAt);
    const std::wstring pattern = upper(std::wstring_view(word).substr(nameAt));
    if (pattern.find_first_of(L"*?") == std::wstring::npos)
        return {};

    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                     nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    do {
        const std::wstring_view name = entry.cFileName;
        if (name != L"." && name != L".." && matches(pattern, upper(name)))
            names.emplace_back(name);
    } while (FindNextFileW(search, &entry));
    FindClose(search);

    std::sort(names.begin(), names.end(), [](const std::wstring &a, const std::wstring &b) {
        return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                    TRUE) == CSTR_LESS_THAN;
    });
    for (std::wstring &name : names)
        name.insert(0, folder);
    return names;
}

std::string utf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

} // namespace

std::vector<std::wstring> expandWildcards(const std::vector<std::wstring> &words)
{
    std::vector<std::wstring> expanded;
    bool optionsEnded = false;
    for (const std::wstring &word : words) {
        const bool isFile = isFileArgument(word, optionsEnded);
        if (word == L"--" && !optionsEnded)
            optionsEnded = true;
        std::vector<std::wstring> names = isFile ? entriesMatching(word) : std::vector<std::wstring>{};
        if (names.empty())
            expanded.push_back(word);
        else
            expanded.insert(expanded.end(), names.begin(), names.end());
    }
    return expanded;
}

// argv is the ANSI code page's, where any other character is lost.
std::vector<std::string> commandWords(int /*argc*/, char * /*argv*/[])
{
    int count = 0;
    wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr)
        return {};
    const std::vector<std::wstring> words(argv + std::min(count, 1), argv + count);
    LocalFree(argv);

    std::vector<std::string> arguments;
    for (const std::wstring &word : expandWildcards(words))
        arguments.push_back(utf8(word));
    return arguments;
}

} // namespace vuelco::cli
