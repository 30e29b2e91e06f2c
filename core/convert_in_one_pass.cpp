#include "core/convert_in_one_pass.h"

#include "core/header_probe.h"
#include "core/write_header_or_restore.h"
#include "runtime/binary_file.h"
#include "runtime/failure.h"

namespace vuelco {
namespace {

enum class Writing : std::uint8_t { Write, Preview };

std::optional<Layout> convertOrPreview(const std::filesystem::path &path, Layout target, Writing writing)
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

    if (writing == Writing::Write)
        file->lockForConversion();
    Header onDisk{};
    if (file->read(0, onDisk) != onDisk.size()) {
        file->close();
        return std::nullopt;
    }
    const std::optional<Layout> found = layoutOf(onDisk);
    if (found && *found != target && writing == Writing::Write &&
        writeHeaderOrRestore(*file, onDisk, composeHeader(target, groupsOf(onDisk, *found))) ==
            HeaderWrite::FileReplaced) {
        file->close();
        throw Failure(FailureNumber::DeviceIo,
                      "El archivo cambió mientras se convertía: otro programa lo reemplazó. No se convirtió", path);
    }
    file->close();
    return found;
}

} // namespace

std::optional<Layout> convertInOnePass(const std::filesystem::path &path, Layout target)
{
    return convertOrPreview(path, target, Writing::Write);
}

std::optional<Layout> previewConversion(const std::filesystem::path &path, Layout target)
{
    return convertOrPreview(path, target, Writing::Preview);
}

} // namespace vuelco
