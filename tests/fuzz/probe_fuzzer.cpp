// The header probe over arbitrary file contents, checked against a plain reading of the
// header rules: same outcome, same groups, no byte read after the first one that fails,
// and a recognised file converts to the other layout and back to exactly its own bytes.

#include "core/convert_if_unchanged.h"
#include "core/header_probe.h"
#include "system_call_faults.h"
#include "temp_folder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

using namespace vuelco;

std::filesystem::path gPath;

// The rules read straight from their table: what the file is, and how many single-byte
// reads it takes to find out.
struct Reference {
    std::optional<Layout> layout;
    Groups groups;
    std::size_t reads = 0;
};

Reference classify(const std::uint8_t *data, std::size_t size)
{
    Reference ref;
    const auto take = [&](std::size_t offset) -> std::optional<std::uint8_t> {
        ++ref.reads;
        return offset < size ? std::optional<std::uint8_t>(data[offset]) : std::nullopt;
    };
    const std::uint8_t signature[] = {0x52, 0x45, 0x53, 0x00};
    for (std::size_t i = 0; i < 4; ++i)
        if (take(i) != signature[i])
            return ref;
    const auto code = take(4);
    if (code != 2 && code != 3)
        return ref;
    for (std::size_t i = 5; i < 8; ++i)
        if (take(i) != 0)
            return ref;
    for (std::size_t i = 8; i < 16; ++i)
        if (!take(i))
            return ref;
    ref.layout = code == 2 ? Layout::Arcade : Layout::PcEmulator;
    Grupo &first = code == 2 ? ref.groups.GrupoA : ref.groups.GrupoB;
    Grupo &second = code == 2 ? ref.groups.GrupoB : ref.groups.GrupoA;
    for (std::size_t i = 0; i < 4; ++i) {
        first[i] = data[8 + i];
        second[i] = data[12 + i];
    }
    return ref;
}

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "probe_fuzzer: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Memory-backed when the system offers it: the conversion flushes to the device. The
    // folder goes when the fuzzer ends.
    static const TempFolder folder(access("/dev/shm", W_OK) == 0 ? std::filesystem::path("/dev/shm")
                                                                  : std::filesystem::temp_directory_path());
    gPath = folder / "cabecera.dat";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > 4096)
        return 0;
    const Bytes original(data, data + size);
    writeFile(gPath, original);

    const Reference ref = classify(data, size);
    ProbeResult probe;
    std::size_t reads = 0;
    {
        const FakeCalls calls;
        probe = probeHeader(gPath);
        reads = calls.count(Call::Read);
    }
    check(probe.layout == ref.layout, "outcome differs from the header rules");
    check(reads == ref.reads, "read a byte the rules do not read");
    check(readAll(gPath) == original, "the probe changed the file");
    if (!probe.layout)
        return 0;
    check(probe.groups == ref.groups, "groups differ from the header rules");

    const Layout other = otherLayout(*probe.layout);
    check(convertIfUnchanged(gPath, other, probe.groups) == ConversionOutcome::Converted, "conversion refused");
    const Bytes converted = readAll(gPath);
    check(converted.size() == size, "the length changed");
    const Header expected = composeHeader(other, probe.groups);
    for (std::size_t i = 0; i < size; ++i)
        check(converted[i] == (i < 16 ? expected[i] : original[i]), "a byte changed that should not");
    check(convertIfUnchanged(gPath, other, probe.groups) == ConversionOutcome::ChangedSinceLoaded,
          "converted a file already in the target layout");
    check(convertIfUnchanged(gPath, *probe.layout, probe.groups) == ConversionOutcome::Converted,
          "reverse refused");
    check(readAll(gPath) == original, "a round trip did not restore the file");
    return 0;
}
