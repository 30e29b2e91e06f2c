// An exception other than Failure that escapes the core for one file (memory running
// out here) is reported for that file with its number, and the batch goes on: the
// terminal tool does not end on it.

#include "cli/run.h"

#include "fake_posix_calls.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <new>
#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(CliUnexpectedFailure, isReportedWithItsNumberAndTheNextFileIsStillShown)
{
    const TempFolder folder;
    const std::string first = folder.write("primero.dat", arcadeHeader()).string();
    const std::string second = folder.write("segundo.dat", pcEmulatorHeader()).string();
    FakePosixCalls calls;
    calls.plan([](const FakePosixCalls::Record &call, std::size_t index) {
        if (call.call == FakePosixCalls::Call::Open && index == 0)
            throw std::bad_alloc();
        return FakePosixCalls::Twist{};
    });

    const std::vector<std::string_view> words{first, second};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(vuelco::cli::run(words, out, err), 1);
    EXPECT_EQ(err.str(), first + ": Error #  7\nMemoria insuficiente\n");
    EXPECT_EQ(out.str(), second + "\tBGA, Emulador Pc\n");
}

} // namespace
