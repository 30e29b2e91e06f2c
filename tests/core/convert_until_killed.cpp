// The converting process that killed_conversion_test kills: converts the file back and
// forth, the way named (as nameOf() spells it), until it is killed, and writes a byte to
// standard output when it starts and after each conversion.
// Usage: convert_until_killed FILE Window|CommandLine

#include "child_process.h"
#include "conversion_paths.h"
#include "runtime/failure.h"

#include <iostream>

int main(int argc, char **argv)
{
    const auto arguments = programArguments(argc, argv);
    if (arguments.size() != 2)
        return 2;
    const ConversionPath way =
        arguments[1] == nameOf(ConversionPath::Window) ? ConversionPath::Window : ConversionPath::CommandLine;
    for (char progress = 'r';; progress = 'c') {
        if (!std::cout.put(progress).flush())
            return 3;
        try {
            if (!loadAndConvert(way, arguments[0]))
                return 4;
        } catch (const vuelco::Failure &) {
            return 5;
        }
    }
}
