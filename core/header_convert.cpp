#include "core/header_convert.h"

#include "core/header_probe.h"
#include "runtime/binary_file.h"
#include "runtime/failure.h"

#include <algorithm>
#include <span>

namespace vuelco {
namespace {

// The header rules applied to bytes already read.
std::optional<Layout> layoutOf(const Header &header)
{
    if (!std::equal(kSignature.begin(), kSignature.end(), header.begin()))
        return std::nullopt;
    Layout layout;
    if (header[kLayoutCodeOffset] == layoutCode(Layout::Arcade))
        layout = Layout::Arcade;
    else if (header[kLayoutCodeOffset] == layoutCode(Layout::PcEmulator))
        layout = Layout::PcEmulator;
    else
        return std::nullopt;
    const auto zeros = std::span(header).subspan(kLayoutCodeOffset + 1, kFirstSlotOffset - kLayoutCodeOffset - 1);
    if (!std::all_of(zeros.begin(), zeros.end(), [](std::uint8_t byte) { return byte == 0; }))
        return std::nullopt;
    return layout;
}

Groups groupsOf(const Header &header, Layout layout)
{
    Groups groups;
    Grupo &first = layout == Layout::Arcade ? groups.GrupoA : groups.GrupoB;
    Grupo &second = layout == Layout::Arcade ? groups.GrupoB : groups.GrupoA;
    std::copy_n(header.begin() + kFirstSlotOffset, first.size(), first.begin());
    std::copy_n(header.begin() + kSecondSlotOffset, second.size(), second.begin());
    return groups;
}

} // namespace

std::optional<Layout> convertHeader(const std::filesystem::path &path, Layout target)
{
    std::optional<BinaryFile> file;
    try {
        file.emplace(BinaryFile::openForUpdate(path));
    } catch (const Failure &) {
        // Only a file that needs converting needs write access: tell the others apart as
        // a look at their header would, and report the refusal for the rest.
        const ProbeResult probe = probeHeader(path);
        if (!probe.layout || *probe.layout == target)
            return probe.layout;
        throw;
    }

    Header onDisk{};
    if (file->read(0, onDisk) != onDisk.size()) {
        file->close();
        return std::nullopt;
    }
    const std::optional<Layout> found = layoutOf(onDisk);
    if (found && *found != target) {
        // One write from the layout code to the end of the header, as the window's
        // conversion does: a process killed in between leaves the old header or the new.
        const Header converted = composeHeader(target, groupsOf(onDisk, *found));
        file->write(kLayoutCodeOffset, std::span(converted).subspan(kLayoutCodeOffset));
        file->flush();
    }
    file->close();
    return found;
}

} // namespace vuelco
