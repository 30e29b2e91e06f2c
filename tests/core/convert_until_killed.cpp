// The converting process that killed_conversion_test kills, on Windows, which has no
// fork(): converts the file back and forth, the window's way or the command line's, until
// it is killed, and writes a byte to standard output when it starts and after each
// conversion.
// Usage: convert_until_killed FILE window|cli

#include "conversion_paths.h"
#include "core/header_probe.h"
#include "runtime/failure.h"

#include <filesystem>
#include <string>

#include "runtime/win32_calls.h"

namespace {

bool tell(char what)
{
    DWORD put = 0;
    return WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), &what, 1, &put, nullptr) && put == 1;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3)
        return 2;
    const std::filesystem::path path(argv[1]);
    const ConversionPath way =
        std::wstring(argv[2]) == L"window" ? ConversionPath::Window : ConversionPath::CommandLine;
    if (!tell('r'))
        return 3;
    for (;;) {
        try {
            const vuelco::ProbeResult probe = vuelco::probeHeader(path);
            if (!probe.layout || !convertThrough(way, path, vuelco::otherLayout(*probe.layout), probe.groups))
                return 4;
        } catch (const vuelco::Failure &) {
            return 5;
        }
        if (!tell('c'))
            return 6;
    }
}
