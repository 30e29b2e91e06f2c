#pragma once

#include "runtime/posix_calls.h"

#include <cstddef>
#include <vector>

// While it lives, the file layer's system calls run for real and are written down, so a
// test can see which bytes were read and written and that every open was closed.
class RecordedCalls {
public:
    struct Access {
        off_t offset;
        std::size_t size;
    };

    RecordedCalls();
    RecordedCalls(const RecordedCalls &) = delete;
    RecordedCalls &operator=(const RecordedCalls &) = delete;
    ~RecordedCalls();

    std::vector<Access> reads;
    std::vector<Access> writes;
    int opens = 0;
    int closes = 0;
    int flushes = 0;

private:
    vuelco::ScopedPosixCalls mScope;
};
