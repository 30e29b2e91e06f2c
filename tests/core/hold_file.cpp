// Another program holding a file, for other_programs_test: with "lock", a program (another Vuelco) in
// the middle of a conversion, holding the conversion lock; with "append", a program that
// holds the file open to append to it, and appends "cola" as it lets go. Writes 'r' to
// standard output once it holds the file, and lets go when its standard input closes.
// Usage: hold_file lock|append FILE

#include "child_process.h"
#include "runtime/binary_file.h"

#include <exception>
#include <fstream>
#include <iostream>

namespace {

void holdUntilLetGo()
{
    std::cout.put('r').flush();
    while (std::cin.get() != std::char_traits<char>::eof()) {
    }
}

} // namespace

int main(int argc, char **argv)
{
    const auto arguments = programArguments(argc, argv);
    if (arguments.size() != 2)
        return 2;
    try {
        if (arguments[0] == "lock") {
            vuelco::BinaryFile file = vuelco::BinaryFile::openForUpdate(arguments[1]);
            file.lockForConversion();
            holdUntilLetGo();
            file.close();
            return 0;
        }
        std::ofstream file(arguments[1], std::ios::binary | std::ios::app);
        if (!file)
            return 1;
        holdUntilLetGo();
        file << "cola" << std::flush;
        return file ? 0 : 3;
    } catch (const std::exception &) {
        return 1;
    }
}
