#include "runtime/text.h"
#include "words/failure_words.h"

#include <gtest/gtest.h>

using namespace vuelco;
using namespace vuelco::words;

namespace {

TEST(ErrorPrompt, putsOneBlankBeforeANonNegativeNumberAndTheLineBreakBeforeTheDescription)
{
    EXPECT_EQ(errorPrompt(53, "No se encontró el archivo", '\r'), "Error #  53\rNo se encontró el archivo");
    EXPECT_EQ(errorPrompt(0, "x", '\r'), "Error #  0\rx");
    EXPECT_EQ(errorPrompt(-2147483647 - 1, "x", '\r'), "Error # -2147483648\rx");
    EXPECT_EQ(errorPrompt(Failure(FailureNumber::ReadOnly), '\n'),
              "Error #  75\nError de acceso a la ruta o el archivo");
}

TEST(Failure, keepsNumberDescriptionAndPath)
{
    const Failure failure(FailureNumber::DeviceNotReady, "/media/usb/a.dat");
    EXPECT_EQ(failure.number(), 68);
    EXPECT_EQ(description(failure), "Dispositivo no disponible");
    EXPECT_EQ(failure.path(), "/media/usb/a.dat");
}

TEST(TrimSpaces, removesOnlyCharacter32)
{
    using namespace std::string_view_literals;
    EXPECT_EQ(trimSpaces("  a b  "sv), "a b"sv);
    EXPECT_EQ(trimSpaces("   "sv), ""sv);
    EXPECT_EQ(trimSpaces(""sv), ""sv);
    EXPECT_EQ(trimSpaces("\ta\t"sv), "\ta\t"sv);
    EXPECT_TRUE(isBlank("    "sv));
    EXPECT_FALSE(isBlank(" \t "sv));
    EXPECT_FALSE(isBlank(u" \u00a0 "sv));
}

} // namespace
