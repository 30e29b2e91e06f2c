#include "cli/run.h"

#include "batch/run_batch.h"
#include "cli/arguments.h"
#include "cli/usage.h"

#include <ostream>

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

int written(std::ostream &out, const std::string &text)
{
    out << text << std::flush;
    return out ? kAllWell : kRecordNotWritten;
}

} // namespace

int run(std::span<const std::string_view> words, std::ostream &out, std::ostream &err, Terminals terminals,
        Interruption *interruption)
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
    case Command::Convert: break;
    }

    Interruption uninterrupted;
    Interruption &stopper = interruption != nullptr ? *interruption : uninterrupted;
    const batch::Request request = requestFor(arguments);
    Record record(arguments, out, err, terminals);
    const batch::Summary summary = batch::runBatch(request, record, stopper.stop);
    const int interruptedWith = stopper.status.load();
    record.close(summary, interruptedWith != 0 && summary.stopped);
    if (interruptedWith != 0)
        return interruptedWith;
    if (record.failed())
        return kRecordNotWritten;
    const bool allConverted = arguments.command != Command::Convert || summary.unrecognised == 0;
    return summary.failed == 0 && allConverted ? kAllWell : kSomeFileFailed;
}

} // namespace vuelco::cli
