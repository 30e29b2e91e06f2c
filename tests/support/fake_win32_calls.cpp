#include "fake_win32_calls.h"

#include <algorithm>
#include <stdexcept>

using vuelco::realWin32Calls;

namespace {

// The table holds plain function pointers, so they find the fake in place through here.
FakeWin32Calls *gFake = nullptr;

// Runs a call that moves no bytes: as planned to fail, or for real.
template <class Real>
BOOL failOrRun(const FakeWin32Calls::Twist &twist, Real real)
{
    if (twist.error != 0) {
        SetLastError(twist.error);
        return FALSE;
    }
    return real();
}

// Runs a ReadFile or WriteFile: as planned to fail, to move no byte, to fall short, or for real.
template <class Real>
BOOL transfer(const FakeWin32Calls::Twist &twist, DWORD count, LPDWORD moved, Real real)
{
    if (twist.error != 0) {
        SetLastError(twist.error);
        return FALSE;
    }
    if (twist.atMost == 0) {
        *moved = 0;
        return TRUE;
    }
    return real(static_cast<DWORD>(std::min<std::size_t>(count, twist.atMost)));
}

std::uint64_t offsetOf(const OVERLAPPED *at)
{
    return at == nullptr ? 0 : (static_cast<std::uint64_t>(at->OffsetHigh) << 32) | at->Offset;
}

} // namespace

const vuelco::Win32Calls FakeWin32Calls::kTable{
    FakeWin32Calls::createFile,  FakeWin32Calls::readFile,           FakeWin32Calls::writeFile,
    FakeWin32Calls::flushFileBuffers, FakeWin32Calls::getFileType, FakeWin32Calls::getFileInformation,
    FakeWin32Calls::lockFileEx,  FakeWin32Calls::closeHandle,
};

FakeWin32Calls::FakeWin32Calls() : mScope(kTable)
{
    if (gFake != nullptr)
        throw std::logic_error("only one FakeWin32Calls at a time");
    gFake = this;
}

FakeWin32Calls::~FakeWin32Calls() { gFake = nullptr; }

std::size_t FakeWin32Calls::count(Call call) const
{
    return static_cast<std::size_t>(
        std::count_if(mTrace.begin(), mTrace.end(), [call](const Record &record) { return record.call == call; }));
}

FakeWin32Calls::Twist FakeWin32Calls::enter(const Record &call)
{
    gFake->mTrace.push_back(call);
    return gFake->mPlan ? gFake->mPlan(call, gFake->mTrace.size() - 1) : Twist{};
}

HANDLE WINAPI FakeWin32Calls::createFile(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                         DWORD disposition, DWORD flags, HANDLE pattern)
{
    const Twist twist = enter({Call::CreateFile});
    if (twist.error != 0) {
        SetLastError(twist.error);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = realWin32Calls().createFile(name, access, share, security, disposition, flags, pattern);
    if (handle != INVALID_HANDLE_VALUE)
        ++gFake->mOpenHandles;
    return handle;
}

BOOL WINAPI FakeWin32Calls::readFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD got, LPOVERLAPPED at)
{
    return transfer(enter({Call::ReadFile, offsetOf(at), count}), count, got,
                    [&](DWORD size) { return realWin32Calls().readFile(file, buffer, size, got, at); });
}

BOOL WINAPI FakeWin32Calls::writeFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD put, LPOVERLAPPED at)
{
    return transfer(enter({Call::WriteFile, offsetOf(at), count}), count, put,
                    [&](DWORD size) { return realWin32Calls().writeFile(file, buffer, size, put, at); });
}

BOOL WINAPI FakeWin32Calls::flushFileBuffers(HANDLE file)
{
    return failOrRun(enter({Call::FlushFileBuffers}), [&] { return realWin32Calls().flushFileBuffers(file); });
}

// A failing GetFileType answers "unknown" and leaves its error to GetLastError.
DWORD WINAPI FakeWin32Calls::getFileType(HANDLE file)
{
    const Twist twist = enter({Call::GetFileType});
    if (twist.error != 0) {
        SetLastError(twist.error);
        return FILE_TYPE_UNKNOWN;
    }
    return realWin32Calls().getFileType(file);
}

BOOL WINAPI FakeWin32Calls::getFileInformation(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information)
{
    return failOrRun(enter({Call::GetFileInformation}),
                     [&] { return realWin32Calls().getFileInformationByHandle(file, information); });
}

BOOL WINAPI FakeWin32Calls::lockFileEx(HANDLE file, DWORD flags, DWORD reserved, DWORD countLow, DWORD countHigh,
                                       LPOVERLAPPED at)
{
    return failOrRun(enter({Call::LockFileEx}), [&] {
        return realWin32Calls().lockFileEx(file, flags, reserved, countLow, countHigh, at);
    });
}

// A handle whose close is planned to fail is closed all the same, so that no test leaks it.
BOOL WINAPI FakeWin32Calls::closeHandle(HANDLE file)
{
    const Twist twist = enter({Call::CloseHandle});
    const BOOL closed = realWin32Calls().closeHandle(file);
    if (closed)
        --gFake->mOpenHandles;
    return failOrRun(twist, [closed] { return closed; });
}
