#include "core/header_probe.h"

#include "runtime/binary_file.h"

namespace vuelco {
namespace {

// The load's rules name the header's bytes by position, 1 to 16: position = offset + 1.
constexpr std::int64_t kLastPosition = kHeaderSize;

constexpr std::size_t offsetOf(std::int64_t position) { return static_cast<std::size_t>(position - 1); }

} // namespace

ProbeResult probeHeader(const std::filesystem::path &path)
{
    BinaryFile file = BinaryFile::openForReading(path);
    Header header{};
    for (std::int64_t position = 1; position <= kLastPosition; ++position) {
        const std::size_t offset = offsetOf(position);
        const std::optional<std::uint8_t> byte = file.readByte(offset);
        if (!byte || !fitsHeaderAt(offset, *byte))
            return {};
        header[offset] = *byte;
    }
    file.close();

    const std::optional<Layout> layout = layoutOf(header);
    if (!layout)
        return {};
    return {layout, groupsOf(header, *layout)};
}

} // namespace vuelco
