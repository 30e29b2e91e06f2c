#pragma once

#include "core/convert_if_unchanged.h"
#include "core/convert_in_one_pass.h"
#include "core/header_probe.h"

#include <cstdint>
#include <filesystem>
#include <ostream>

// The two ways a file gets converted, so that one table of cases runs through both: the
// window's, only if the header is still the one loaded, and the command line's, in one pass.
enum class ConversionPath : std::uint8_t { Window, CommandLine };

inline const char *nameOf(ConversionPath way) { return way == ConversionPath::Window ? "Window" : "CommandLine"; }

inline void PrintTo(ConversionPath way, std::ostream *out) { *out << nameOf(way); }

// Converts file to target the way given, the window with the groups it loaded (in the
// other layout); true when the conversion reports the file converted. Failures escape.
inline bool convertThrough(ConversionPath way, const std::filesystem::path &file, vuelco::Layout target,
                           const vuelco::Groups &loaded)
{
    if (way == ConversionPath::Window)
        return vuelco::convertIfUnchanged(file, target, loaded) == vuelco::ConversionOutcome::Converted;
    return vuelco::convertInOnePass(file, target) == vuelco::otherLayout(target);
}

// One load of the file and its conversion to the other layout, the way given.
inline bool loadAndConvert(ConversionPath way, const std::filesystem::path &file)
{
    const vuelco::ProbeResult probe = vuelco::probeHeader(file);
    return probe.layout && convertThrough(way, file, vuelco::otherLayout(*probe.layout), probe.groups);
}
