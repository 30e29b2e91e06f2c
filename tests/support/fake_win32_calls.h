#pragma once

#include "runtime/win32_calls.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The Windows stand-in for the file layer's system calls, as FakePosixCalls is on Linux.
// While it lives, every call runs for real and is written down in order; a test may plan,
// call by call, that one fails with a chosen Win32 error, falls short or makes no progress
// instead, or do something of its own (another program's rename) before the call runs.
class FakeWin32Calls {
public:
    enum class Call : std::uint8_t {
        CreateFile, ReadFile, WriteFile, FlushFileBuffers, GetFileType, GetFileInformation, LockFileEx, CloseHandle
    };

    // One call as it was asked for; offset and size only for ReadFile and WriteFile.
    struct Record {
        Call call;
        std::uint64_t offset = 0;
        std::size_t size = 0;
    };

    // What a call does instead of running plainly.
    struct Twist {
        DWORD error = 0;               // fails with this error; a CloseHandle still closes its handle
        std::size_t atMost = SIZE_MAX; // ReadFile, WriteFile: moves at most this many bytes (0: none)
    };

    // Decides each call's twist from the call and its place in the trace, counted from 0.
    using Plan = std::function<Twist(const Record &call, std::size_t index)>;

    FakeWin32Calls();
    FakeWin32Calls(const FakeWin32Calls &) = delete;
    FakeWin32Calls &operator=(const FakeWin32Calls &) = delete;
    ~FakeWin32Calls();

    void plan(Plan plan) { mPlan = std::move(plan); }

    [[nodiscard]] const std::vector<Record> &trace() const { return mTrace; }
    [[nodiscard]] std::size_t count(Call call) const;
    // Handles opened and not closed yet.
    [[nodiscard]] int openDescriptors() const { return mOpenHandles; }

private:
    static HANDLE WINAPI createFile(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                    DWORD disposition, DWORD flags, HANDLE pattern);
    static BOOL WINAPI readFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD got, LPOVERLAPPED at);
    static BOOL WINAPI writeFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD put, LPOVERLAPPED at);
    static BOOL WINAPI flushFileBuffers(HANDLE file);
    static DWORD WINAPI getFileType(HANDLE file);
    static BOOL WINAPI getFileInformation(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information);
    static BOOL WINAPI lockFileEx(HANDLE file, DWORD flags, DWORD reserved, DWORD countLow, DWORD countHigh,
                                  LPOVERLAPPED at);
    static BOOL WINAPI closeHandle(HANDLE file);
    static const vuelco::Win32Calls kTable;

    // Writes the call down and tells what to do with it.
    static Twist enter(const Record &call);

    Plan mPlan;
    std::vector<Record> mTrace;
    int mOpenHandles = 0;
    vuelco::ScopedWin32Calls mScope;
};
