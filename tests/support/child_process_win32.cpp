#include "child_process.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "runtime/api_win32.h"
// After api_win32.h, which it needs.
#include <shellapi.h>

namespace fs = std::filesystem;

namespace {

// The exit code TerminateProcess gives, as a shell reports a SIGKILL.
constexpr UINT kKilled = 137;

// The word as CommandLineToArgvW and the C runtime read it back: bare when it can be, else
// in quotes, with the backslashes before a quote, or before the closing one, doubled.
std::wstring quoted(const std::wstring &word)
{
    if (!word.empty() && word.find_first_of(L" \t\"") == std::wstring::npos)
        return word;
    std::wstring result = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'"')
            result.append(backslashes + 1, L'\\');
        backslashes = c == L'\\' ? backslashes + 1 : 0;
        result += c;
    }
    return result.append(backslashes, L'\\') + L'"';
}

void closeOnce(HANDLE &handle)
{
    if (handle != nullptr)
        CloseHandle(handle);
    handle = nullptr;
}

} // namespace

const int kAffordableProcessStarts = 50;

struct ChildProcess::Native {
    PROCESS_INFORMATION process{};
    HANDLE input = nullptr;
    HANDLE output = nullptr;
    std::optional<int> status;
};

ChildProcess::ChildProcess(const fs::path &program, const std::vector<fs::path> &arguments, const fs::path &folder,
                           Errors errors)
    : mNative(std::make_unique<Native>())
{
    std::wstring command = quoted(program.native());
    for (const fs::path &argument : arguments)
        command += L' ' + quoted(argument.native());

    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE childInput = nullptr;
    HANDLE childOutput = nullptr;
    const bool piped = CreatePipe(&childInput, &mNative->input, &inherited, 0) &&
                       CreatePipe(&mNative->output, &childOutput, &inherited, 0);
    bool started = false;
    if (piped) {
        // The test's own ends stay with it.
        SetHandleInformation(mNative->input, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(mNative->output, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childInput;
        startup.hStdOutput = childOutput;
        startup.hStdError = errors == Errors::WithOutput ? childOutput : GetStdHandle(STD_ERROR_HANDLE);
        // Wine now and then refuses a process while one it killed is still being torn down;
        // a moment later it starts it.
        for (int attempt = 0; attempt < 3 && !started; ++attempt) {
            if (attempt > 0)
                Sleep(200);
            started = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                     nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &mNative->process);
        }
    }
    const DWORD refusal = started ? 0 : GetLastError();
    closeOnce(childInput);
    closeOnce(childOutput);
    if (!started) {
        closeOnce(mNative->input);
        closeOnce(mNative->output);
        throw std::runtime_error("no process for " + program.string() + " (error " + std::to_string(refusal) + ")");
    }
    closeOnce(mNative->process.hThread);
}

ChildProcess::~ChildProcess()
{
    (void)kill();
    closeOnce(mNative->input);
    closeOnce(mNative->output);
    closeOnce(mNative->process.hProcess);
}

std::optional<char> ChildProcess::readByte()
{
    char byte = 0;
    DWORD got = 0;
    return ReadFile(mNative->output, &byte, 1, &got, nullptr) && got == 1 ? std::optional<char>(byte) : std::nullopt;
}

void ChildProcess::closeInput() { closeOnce(mNative->input); }

bool ChildProcess::kill()
{
    if (mNative->status)
        return false;
    TerminateProcess(mNative->process.hProcess, kKilled);
    return wait() == -1;
}

int ChildProcess::wait()
{
    if (!mNative->status) {
        WaitForSingleObject(mNative->process.hProcess, INFINITE);
        DWORD code = kKilled;
        GetExitCodeProcess(mNative->process.hProcess, &code);
        mNative->status = code == kKilled ? -1 : static_cast<int>(code);
    }
    return *mNative->status;
}

fs::path testProgram(const std::string &name)
{
    std::wstring self(MAX_PATH, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    return fs::path(self).parent_path() / (name + ".exe");
}

std::vector<fs::path> programArguments(int, char **)
{
    int count = 0;
    LPWSTR *words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<fs::path> arguments(words + std::min(count, 1), words + count);
    LocalFree(words);
    return arguments;
}
