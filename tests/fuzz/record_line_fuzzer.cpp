// An undo's reader of record lines over arbitrary text: it never fails to answer, and a
// step it takes names an absolute path and two headers one conversion apart, so that the
// undo never writes what a forged line asks for.

#include "batch/undo_record.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "record_line_fuzzer: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace vuelco;
    const std::string text(reinterpret_cast<const char *>(data), size);
    batch::NativeName path;
    batch::UndoStep step;
    if (batch::readRecordLine(text, path, step) == batch::RecordLine::Step) {
        check(std::filesystem::path(path).is_absolute(), "a step with a relative path");
        const std::optional<Layout> from = layoutOf(step.before);
        const std::optional<Layout> to = layoutOf(step.after);
        check(from && to && *from != *to, "a step whose headers are not one of each layout");
        check(composeHeader(*to, groupsOf(step.before, *from)) == step.after, "a step that is no conversion");
    }
    std::istringstream lines(text);
    const std::optional<batch::UndoRecord> record = batch::readUndoRecord(lines);
    check(record && record->paths.size() == record->steps.size(), "a record with paths and steps apart");
    return 0;
}
