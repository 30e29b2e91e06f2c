#include "cli/record.h"

#include "runtime/name_text.h"
#include "words/failure_words.h"
#include "words/layout_words.h"
#include "words/outcome_words.h"

#include <filesystem>
#include <functional>
#include <ostream>

namespace vuelco::cli {
namespace {

using words::failureText;
using words::kUnknownCaption;
using words::layoutCaption;
using batch::Outcome;

batch::RecordRun recordRunOf(const Arguments &arguments)
{
    return {arguments.command == Command::Undo, arguments.simulate, arguments.target};
}

// The folder relative names start from, taken once: a run never changes its folder, and
// asking for it per file would cost a system call each.
batch::NativeName baseFolder(const Arguments &arguments, const batch::RecordFile *file)
{
    std::error_code error;
    return arguments.json || file != nullptr ? std::filesystem::current_path(error).native() : batch::NativeName();
}

} // namespace

Record::Record(const Arguments &arguments, std::ostream &out, std::ostream &err, Terminals terminals,
               batch::RecordFile *file)
    : mArguments(arguments), mOut(out), mErr(err), mTerminals(terminals), mProgress(err, terminals.err), mFile(file),
      mLines(recordRunOf(arguments), baseFolder(arguments, file))
{
}

bool Record::report(const batch::FileOutcome &outcome, const batch::Progress &progress)
{
    const bool toErr = !mArguments.json && outcome.outcome == Outcome::Failed;
    if (toErr || mTerminals.out)
        mProgress.hide();
    if (mArguments.json)
        mLines.compose(mLine, outcome);
    else if (mArguments.command == Command::Undo)
        appendUndoText(outcome);
    else
        appendText(outcome);
    // Each line goes to both, whichever failed: a file that finished is told wherever it can be.
    bool goOn = true;
    if (mFile != nullptr) {
        if (!mArguments.json)
            mLines.compose(mFileLine, outcome);
        goOn = toFile(mArguments.json ? mLine : mFileLine);
    }
    goOn = write(toErr ? mErr : mOut, mLine) && goOn;
    mProgress.update(progress.done, progress.found, progress.complete);
    return goOn;
}

bool Record::caughtUp()
{
    mOut.flush();
    return wentThrough(mOut) && wentThrough(mErr);
}

void Record::appendText(const batch::FileOutcome &outcome)
{
    mLine.clear();
    appendEscapedName(mLine, outcome.name);
    const std::string_view target = layoutCaption(mArguments.target);
    switch (outcome.outcome) {
    case Outcome::Looked:
        mLine.append("\t").append(outcome.before ? layoutCaption(*outcome.before) : kUnknownCaption);
        break;
    case Outcome::Converted:
        mLine.append("\t").append(layoutCaption(*outcome.before)).append(" -> ").append(target);
        if (mArguments.simulate)
            mLine.append(" (se convertiría)");
        break;
    case Outcome::AlreadyThere:
        mLine.append("\t").append(layoutCaption(*outcome.before)).append(" (ya estaba en ese formato)");
        break;
    case Outcome::Unrecognised:
        mLine.append("\t").append(kUnknownCaption).append(words::kNotConvertedNote);
        break;
    case Outcome::SameFile:
        mLine.append("\tes el mismo archivo que ");
        appendEscapedName(mLine, outcome.sameAs);
        mLine.append(" (se trata una sola vez)");
        break;
    case Outcome::Failed:
        mLine.append(": ").append(escapedText(words::failureReason(*outcome.failure)));
        break;
    case Outcome::AlreadyUndone:
    case Outcome::ChangedSince:
    case Outcome::NotFound:
    case Outcome::OtherFile: break;  // an undo's (appendUndoText)
    }
    mLine += '\n';
}

void Record::appendUndoText(const batch::FileOutcome &outcome)
{
    mLine.clear();
    appendEscapedName(mLine, outcome.name);
    switch (outcome.outcome) {
    case Outcome::Converted:
        mLine.append("\t").append(layoutCaption(*outcome.before)).append(" -> ");
        mLine.append(layoutCaption(otherLayout(*outcome.before)));
        mLine.append(mArguments.simulate ? " (se desharía)" : " (deshecho)");
        break;
    case Outcome::AlreadyUndone:
        mLine.append("\t").append(layoutCaption(*outcome.before)).append(" (ya estaba deshecho)");
        break;
    case Outcome::ChangedSince: mLine.append("\t").append(words::kChangedSinceText); break;
    case Outcome::NotFound: mLine.append("\t").append(words::kNotFoundText); break;
    case Outcome::OtherFile: mLine.append("\t").append(words::kOtherFileText); break;
    case Outcome::Failed:
        mLine.append(": ").append(escapedText(words::failureReason(*outcome.failure))).append("\n");
        return;
    case Outcome::Looked:
    case Outcome::AlreadyThere:
    case Outcome::Unrecognised:
    case Outcome::SameFile: break;  // no undo's
    }
    if (outcome.outcome != Outcome::Converted && outcome.outcome != Outcome::AlreadyUndone)
        mLine.append(words::kNotUndoneNote);
    mLine += '\n';
}

std::string Record::undoSummaryText(const batch::Summary &summary, std::size_t refusedLines) const
{
    std::string line = (mArguments.simulate ? "Se desharían: " : "Deshechos: ") + std::to_string(summary.converted) +
                       ", ya deshechos: " + std::to_string(summary.alreadyUndone) +
                       ", cambiados desde entonces: " + std::to_string(summary.changedSince) +
                       ", no encontrados: " + std::to_string(summary.notFound) +
                       ", otro archivo en su ruta: " + std::to_string(summary.otherFile) +
                       ", fallidos: " + std::to_string(summary.failed);
    if (refusedLines > 0)
        line += ", líneas que no son de Vuelco: " + std::to_string(refusedLines);
    return line;
}

bool Record::toFile(std::string_view text)
{
    return onFile([&] { mFile->write(text); });
}

bool Record::onFile(const std::function<void()> &action)
{
    if (mFileFailed)
        return false;
    try {
        action();
        return true;
    } catch (const Failure &failure) {
        mFileFailed = true;
        mProgress.hide();
        mErr << "vuelco-cli: no se pudo escribir el registro: " << escapedText(words::failureReason(failure))
             << "; no se tomaron más archivos\n"
             << std::flush;
        return false;
    }
}

void Record::close(const batch::Summary &summary, bool interrupted, std::size_t refusedLines)
{
    mProgress.hide();
    // Every line on the device before the summary says the run is over.
    const auto flush = [this] { mFile->flush(); };
    if (mFile != nullptr && onFile(flush) && toFile(mLines.summary(summary, interrupted, refusedLines)))
        (void)onFile(flush);
    if (mArguments.json) {
        (void)write(mOut, mLines.summary(summary, interrupted, refusedLines));
        mOut.flush();
        (void)wentThrough(mOut);
        return;
    }
    mOut.flush();
    (void)wentThrough(mOut);
    if (interrupted)
        (void)write(mErr, "vuelco-cli: interrumpido; no se tomaron más archivos\n");
    if (mArguments.command == Command::Undo) {
        (void)write(mErr, undoSummaryText(summary, refusedLines) +
                              (mArguments.simulate ? " (simulación: no se escribió nada)\n" : "\n"));
        return;
    }
    if (mArguments.command != Command::Convert)
        return;
    std::string line = (mArguments.simulate ? "Se convertirían: " : "Convertidos: ") +
                       std::to_string(summary.converted) +
                       ", ya en ese formato: " + std::to_string(summary.alreadyThere) +
                       ", no reconocidos: " + std::to_string(summary.unrecognised) +
                       ", fallidos: " + std::to_string(summary.failed);
    if (summary.sameFile > 0)
        line += ", otros nombres del mismo archivo: " + std::to_string(summary.sameFile);
    line += mArguments.simulate ? " (simulación: no se escribió nada)\n" : "\n";
    (void)write(mErr, line);
}

bool Record::write(std::ostream &stream, const std::string &text)
{
    if (!stream.good())
        return false;
    stream << text;
    return wentThrough(stream);
}

bool Record::wentThrough(std::ostream &stream)
{
    if (stream.good())
        return true;
    if (!mFailed) {
        mFailed = true;
        if (&stream != &mErr) {
            mProgress.hide();
            mErr << "vuelco-cli: no se pudo escribir la salida estándar; no se tomaron más archivos\n" << std::flush;
        }
    }
    return false;
}

} // namespace vuelco::cli
