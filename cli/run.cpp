#include "cli/run.h"

#include "batch/run_batch.h"
#include "batch/undo_record.h"
#include "cli/arguments.h"
#include "cli/usage.h"
#include "runtime/name_text.h"
#include "words/failure_words.h"
#include "words/outcome_words.h"

#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>

namespace vuelco::cli {
namespace {

// The request, taking the file names over from the arguments.
batch::Request requestFor(Arguments &arguments)
{
    batch::Request request;
    request.names.reserve(arguments.files.size());
    for (std::string &file : arguments.files)
        request.names.push_back(fileArgumentName(std::move(file)));
    arguments.files.clear();
    request.recursive = arguments.recursive;
    request.job = arguments.command != Command::Convert ? batch::Job::Look
                  : arguments.simulate                  ? batch::Job::Simulate
                                                        : batch::Job::Convert;
    request.target = arguments.target;
    request.workers = arguments.workers.value_or(batch::kDefaultWorkers);
    return request;
}

// The record an undo takes back, from its file or from standard input; nothing, with the
// reason said on err, when it cannot be read at all.
std::optional<batch::UndoRecord> undoRecordOf(const Arguments &arguments, std::istream &in, std::ostream &err)
{
    const std::string &name = arguments.undoRecord;
    std::optional<batch::UndoRecord> record;
    if (name == "-") {
        record = batch::readUndoRecord(in);
    } else {
        std::ifstream file(std::filesystem::path(fileArgumentName(name)), std::ios::binary);
        if (file.is_open())
            record = batch::readUndoRecord(file);
    }
    if (!record)
        err << "vuelco-cli: no se pudo leer el registro " << escapedName(fileArgumentName(name)) << "\n";
    return record;
}

// The request that takes back what the record tells of, taking its paths over.
batch::Request undoRequestFor(const Arguments &arguments, batch::UndoRecord &record)
{
    batch::Request request;
    request.names = std::move(record.paths);
    request.undo = std::move(record.steps);
    request.job = arguments.simulate ? batch::Job::SimulateUndo : batch::Job::Undo;
    // A file named twice (a record and its undo joined) must see its steps in order.
    request.workers = record.repeatsAPath ? 1 : arguments.workers.value_or(batch::kDefaultWorkers);
    return request;
}

// Says each line of the record that is no line of Vuelco's, once, with its number.
void sayRefused(const Arguments &arguments, const batch::UndoRecord &record, std::ostream &err)
{
    for (const std::size_t line : record.refusedLines)
        err << "vuelco-cli: " << escapedName(fileArgumentName(arguments.undoRecord)) << ", línea " << line
            << ": no es una línea de Vuelco completa" << words::kNotUndoneNote << "\n";
}

int written(std::ostream &out, const std::string &text)
{
    out << text << std::flush;
    return out ? kAllWell : kRecordNotWritten;
}

} // namespace

int run(std::span<const std::string_view> words, std::ostream &out, std::ostream &err, Terminals terminals,
        Interruption *interruption, std::istream *in)
{
    ParsedArguments parsed = parseArguments(words);
    if (!parsed.arguments) {
        err << "vuelco-cli: " << parsed.error << "\nPruebe 'vuelco-cli --help'.\n";
        return kWrongCommandLine;
    }
    Arguments arguments = *std::move(parsed.arguments);
    switch (arguments.command) {
    case Command::Help: return written(out, usage());
    case Command::Version: return written(out, "vuelco-cli " VUELCO_VERSION "\n");
    case Command::Show:
    case Command::Convert:
    case Command::Undo: break;
    }

    std::optional<batch::UndoRecord> undo;
    if (arguments.command == Command::Undo) {
        std::istringstream none;
        undo = undoRecordOf(arguments, in != nullptr ? *in : none, err);
        if (!undo)
            return kWrongCommandLine;
    }
    // Made before anything is converted, and never over a file already there.
    batch::RecordFile recordFile;
    if (!arguments.recordFile.empty()) {
        const std::string named = "vuelco-cli: el registro " + escapedName(fileArgumentName(arguments.recordFile));
        constexpr std::string_view kNothingDone = "; no se tocó ningún archivo\n";
        try {
            if (!recordFile.create(std::filesystem::path(fileArgumentName(arguments.recordFile)))) {
                err << named << " ya existe, y no se escribe encima" << kNothingDone;
                return kRecordNotWritten;
            }
        } catch (const Failure &failure) {
            err << named << " no se pudo crear: " << escapedText(words::failureReason(failure)) << kNothingDone;
            return kRecordNotWritten;
        }
    }

    Interruption uninterrupted;
    Interruption &stopper = interruption != nullptr ? *interruption : uninterrupted;
    if (undo)
        sayRefused(arguments, *undo, err);
    const batch::Request request = undo ? undoRequestFor(arguments, *undo) : requestFor(arguments);
    Record record(arguments, out, err, terminals, recordFile.isOpen() ? &recordFile : nullptr);
    const batch::Summary summary = batch::runBatch(request, record, stopper.stop);
    const int interruptedWith = stopper.status.load();
    const std::size_t refused = undo ? undo->refusedLines.size() : 0;
    record.close(summary, interruptedWith != 0 && summary.stopped, refused);
    if (interruptedWith != 0)
        return interruptedWith;
    if (record.failed())
        return kRecordNotWritten;
    if (undo) {
        const bool allUndone = refused == 0 && summary.failed == 0 && summary.changedSince == 0 &&
                               summary.notFound == 0 && summary.otherFile == 0;
        return allUndone ? kAllWell : kSomeFileFailed;
    }
    const bool allConverted = arguments.command != Command::Convert || summary.unrecognised == 0;
    return summary.failed == 0 && allConverted ? kAllWell : kSomeFileFailed;
}

} // namespace vuelco::cli
