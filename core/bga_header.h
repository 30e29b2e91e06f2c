#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace vuelco {

// The 16-byte header that starts every BGA data file:
//
//   offset  0..3   signature 52 45 53 00 ("RES" and a zero byte)
//   offset  4      layout code: 2 arcade, 3 PC emulator
//   offset  5..7   zero bytes
//   offset  8..15  two 4-byte groups, in the order of the layout
//
// The two layouts differ only in the code and in the order of the groups; the groups
// and everything from offset 16 on are opaque and never change.
inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::array<std::uint8_t, 4> kSignature{0x52, 0x45, 0x53, 0x00};
inline constexpr std::size_t kLayoutCodeOffset = 4;
inline constexpr std::size_t kFirstSlotOffset = 8;
inline constexpr std::size_t kSecondSlotOffset = 12;

using Header = std::array<std::uint8_t, kHeaderSize>;
using Grupo = std::array<std::uint8_t, 4>;

// The value kept in Tipo for each recognised layout.
enum class Layout : std::uint8_t { Arcade = 0, PcEmulator = 1 };

// The two groups, named by where the arcade layout keeps them: GrupoA at offsets 8 to
// 11, GrupoB at 12 to 15. The PC-emulator layout stores them the other way round.
struct Groups {
    Grupo GrupoA{};
    Grupo GrupoB{};

    friend bool operator==(const Groups &, const Groups &) = default;
};

// The layout code byte at offset 4: 2 for arcade, 3 for PC emulator.
[[nodiscard]] constexpr std::uint8_t layoutCode(Layout layout)
{
    return layout == Layout::Arcade ? 2 : 3;
}

[[nodiscard]] constexpr Layout otherLayout(Layout layout)
{
    return layout == Layout::Arcade ? Layout::PcEmulator : Layout::Arcade;
}

// The whole header of a file in the given layout that carries these groups.
[[nodiscard]] constexpr Header composeHeader(Layout layout, const Groups &groups)
{
    Header header{};
    for (std::size_t i = 0; i < kSignature.size(); ++i)
        header[i] = kSignature[i];
    header[kLayoutCodeOffset] = layoutCode(layout);
    const Grupo &first = layout == Layout::Arcade ? groups.GrupoA : groups.GrupoB;
    const Grupo &second = layout == Layout::Arcade ? groups.GrupoB : groups.GrupoA;
    for (std::size_t i = 0; i < first.size(); ++i) {
        header[kFirstSlotOffset + i] = first[i];
        header[kSecondSlotOffset + i] = second[i];
    }
    return header;
}

// The layout a layout code stands for, or nothing for any code but 2 and 3.
[[nodiscard]] constexpr std::optional<Layout> layoutWithCode(std::uint8_t code)
{
    if (code == layoutCode(Layout::Arcade))
        return Layout::Arcade;
    if (code == layoutCode(Layout::PcEmulator))
        return Layout::PcEmulator;
    return std::nullopt;
}

// The header rule, one byte at a time: whether byte may stand at offset of a BGA header.
// Offsets 0 to 3 hold the signature, 4 a layout code of 2 or 3, 5 to 7 zero bytes, all
// compared exactly; a group byte (8 to 15) may be anything. Testing the offsets in
// ascending order tells a header apart in the order the load reads it, so a byte that
// does not fit is the last one that needs reading.
[[nodiscard]] constexpr bool fitsHeaderAt(std::size_t offset, std::uint8_t byte)
{
    if (offset < kSignature.size())
        return byte == kSignature[offset];
    if (offset == kLayoutCodeOffset)
        return layoutWithCode(byte).has_value();
    if (offset < kFirstSlotOffset)
        return byte == 0;
    return true;
}

// The layout of a whole header already read, or nothing when it is not a BGA header:
// every byte fits the header rule.
[[nodiscard]] constexpr std::optional<Layout> layoutOf(const Header &header)
{
    for (std::size_t offset = 0; offset < header.size(); ++offset) {
        if (!fitsHeaderAt(offset, header[offset]))
            return std::nullopt;
    }
    return layoutWithCode(header[kLayoutCodeOffset]);
}

// The groups a header in the given layout carries.
[[nodiscard]] constexpr Groups groupsOf(const Header &header, Layout layout)
{
    Groups groups;
    Grupo &first = layout == Layout::Arcade ? groups.GrupoA : groups.GrupoB;
    Grupo &second = layout == Layout::Arcade ? groups.GrupoB : groups.GrupoA;
    for (std::size_t i = 0; i < first.size(); ++i) {
        first[i] = header[kFirstSlotOffset + i];
        second[i] = header[kSecondSlotOffset + i];
    }
    return groups;
}

} // namespace vuelco
