#include "runtime/unexpected_failure.h"
#include "words/failure_words.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>

namespace vuelco {
namespace {

struct ThrownCase {
    const char *name;
    std::function<void()> thrower;
    std::int32_t number;
    // The description, or when it ends in ": " how it starts, with more after it.
    std::string description;
};

void PrintTo(const ThrownCase &row, std::ostream *out) { *out << row.name; }

class EveryException : public ::testing::TestWithParam<ThrownCase> {};

TEST_P(EveryException, becomesAFailure)
{
    const ThrownCase &row = GetParam();
    try {
        row.thrower();
        FAIL() << "nothing was thrown";
    } catch (...) {
        const Failure failure = currentFailure();
        EXPECT_EQ(failure.number(), row.number);
        const std::string description = words::description(failure);
        if (row.description.ends_with(": ")) {
            EXPECT_TRUE(description.starts_with(row.description)) << description;
            EXPECT_GT(description.size(), row.description.size()) << description;
        } else {
            EXPECT_EQ(description, row.description);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Exceptions, EveryException,
    ::testing::Values(
        ThrownCase{"failureKept", [] { throw Failure(FailureNumber::ReadOnly); }, 75,
                   "Error de acceso a la ruta o el archivo"},
        ThrownCase{"outOfMemory", [] { throw std::bad_alloc(); }, 7, "Memoria insuficiente"},
        ThrownCase{"libraryError", [] { throw std::length_error("demasiado"); }, 51, "Error interno: demasiado"},
        ThrownCase{"filesystemError",
                   [] {
                       throw std::filesystem::filesystem_error("ruta",
                                                               std::make_error_code(std::errc::io_error));
                   },
                   51, "Error interno: "},
        ThrownCase{"anythingElse", [] { throw 42; }, 51, "Error interno"}),
    [](const ::testing::TestParamInfo<ThrownCase> &row) { return std::string(row.param.name); });

} // namespace
} // namespace vuelco
