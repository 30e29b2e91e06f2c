// Another Vuelco in the middle of a conversion, for the tests on Windows, which has no
// fork(): takes the conversion lock on the file named first, then makes the file named
// second to say so, and holds the lock until that file is gone.
// Usage: hold_conversion_lock FILE READY

#include "runtime/binary_file.h"
#include "runtime/failure.h"

#include <chrono>
#include <exception>
#include <filesystem>
#include <fstream>
#include <thread>

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3)
        return 2;
    try {
        vuelco::BinaryFile file = vuelco::BinaryFile::openForUpdate(argv[1]);
        file.lockForConversion();
        const std::filesystem::path ready(argv[2]);
        std::ofstream(ready).put('r');
        while (std::filesystem::exists(ready))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        file.close();
    } catch (const std::exception &) {
        return 1;
    }
    return 0;
}
