#pragma once

// The tests' words for BGA files: headers, whole files, their variants, and what a failing
// operation reports.

#include "core/bga_header.h"
#include "runtime/failure.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The example file's groups: 11 22 33 44 and 55 66 77 88 in the arcade layout.
inline const vuelco::Groups kGroups{{0x11, 0x22, 0x33, 0x44}, {0x55, 0x66, 0x77, 0x88}};
// Group bytes a sign or a character conversion would spoil.
inline const vuelco::Groups kExtremeGroups{{0x00, 0x80, 0xFF, 0x01}, {0xFF, 0xFE, 0x00, 0x80}};
// Another file's groups.
inline const vuelco::Groups kOtherGroups{{0x99, 0xAA, 0xBB, 0xCC}, {0xDD, 0xEE, 0xFF, 0x00}};

// The header of a file in the layout, spelt out here byte by byte rather than by the code
// under test: "RES", a zero, the code, three zeros, then the groups in the layout's order.
[[nodiscard]] Bytes headerOf(vuelco::Layout layout, const vuelco::Groups &groups = kGroups);
// A whole file: that header, then the body.
[[nodiscard]] Bytes fileWith(vuelco::Layout layout, const Bytes &body = {}, const vuelco::Groups &groups = kGroups);
// A body of size bytes, each shorter body the start of each longer one.
[[nodiscard]] Bytes bodyOf(std::size_t size);
[[nodiscard]] Bytes withByte(Bytes bytes, std::size_t offset, std::uint8_t value);
[[nodiscard]] Bytes firstBytes(Bytes bytes, std::size_t count);
[[nodiscard]] Bytes operator+(Bytes head, const Bytes &tail);

// What an operation reported: a Failure's number, description and path; number 0 and
// "nada" when it threw nothing.
struct Thrown {
    std::int32_t number = 0;
    std::string description = "nada";
    std::filesystem::path path;

    Thrown() = default;
    Thrown(std::int32_t number, std::string description, std::filesystem::path path);
    // The number with its standard description.
    Thrown(vuelco::FailureNumber number, std::filesystem::path path);

    friend bool operator==(const Thrown &, const Thrown &) = default;
};

void PrintTo(const Thrown &thrown, std::ostream *out);
[[nodiscard]] Thrown thrownBy(const std::function<void()> &operation);
