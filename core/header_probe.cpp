#include "core/header_probe.h"

#include "runtime/binary_file.h"

namespace vuelco {

ProbeResult probeHeader(const std::filesystem::path &path)
{
    BinaryFile file = BinaryFile::openForReading(path);
    const auto byteAt = [&file](std::size_t offset) { return file.readByte(offset); };
    const auto holds = [&byteAt](std::size_t offset, std::uint8_t expected) {
        return byteAt(offset) == expected;
    };

    for (std::size_t offset = 0; offset < kSignature.size(); ++offset) {
        if (!holds(offset, kSignature[offset]))
            return {};
    }

    const auto code = byteAt(kLayoutCodeOffset);
    Layout layout;
    if (code == layoutCode(Layout::Arcade))
        layout = Layout::Arcade;
    else if (code == layoutCode(Layout::PcEmulator))
        layout = Layout::PcEmulator;
    else
        return {};

    for (std::size_t offset = kLayoutCodeOffset + 1; offset < kFirstSlotOffset; ++offset) {
        if (!holds(offset, 0))
            return {};
    }

    Groups groups;
    Grupo &first = layout == Layout::Arcade ? groups.GrupoA : groups.GrupoB;
    Grupo &second = layout == Layout::Arcade ? groups.GrupoB : groups.GrupoA;
    for (std::size_t i = 0; i < first.size(); ++i) {
        const auto byte = byteAt(kFirstSlotOffset + i);
        if (!byte)
            return {};
        first[i] = *byte;
    }
    for (std::size_t i = 0; i < second.size(); ++i) {
        const auto byte = byteAt(kSecondSlotOffset + i);
        if (!byte)
            return {};
        second[i] = *byte;
    }

    file.close();
    return {layout, groups};
}

} // namespace vuelco
