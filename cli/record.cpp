#include "cli/record.h"

#include "batch/given_names.h"
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

std::string jsonLayout(const std::optional<Layout> &layout)
{
    return layout ? jsonText(layoutCaption(*layout)) : "null";
}

// The version of what the JSON lines carry for an undo, which every later version reads.
constexpr int kRecordVersion = 1;

const char *resultName(Outcome outcome, bool simulate, bool undo)
{
    switch (outcome) {
    case Outcome::Looked: return "visto";
    case Outcome::Converted:
        if (undo)
            return simulate ? "se_desharia" : "deshecho";
        return simulate ? "se_convertiria" : "convertido";
    case Outcome::AlreadyThere: return "ya_en_ese_formato";
    case Outcome::Unrecognised: return "no_reconocido";
    case Outcome::SameFile: return "mismo_archivo";
    case Outcome::Failed: return "fallido";
    case Outcome::AlreadyUndone: return "ya_deshecho";
    case Outcome::ChangedSince: return "cambio_desde_entonces";
    case Outcome::NotFound: return "no_encontrado";
    case Outcome::OtherFile: return "otro_archivo";
    }
    return "fallido";
}

void appendHex(std::string &line, const Header &header)
{
    constexpr std::string_view kDigits = "0123456789abcdef";
    line += '"';
    for (const std::uint8_t byte : header) {
        line += kDigits[byte >> 4U];
        line += kDigits[byte & 0xFU];
    }
    line += '"';
}

std::string field(const char *name, std::size_t count)
{
    return std::string("\"") + name + "\":" + std::to_string(count);
}

} // namespace

Record::Record(const Arguments &arguments, std::ostream &out, std::ostream &err, Terminals terminals,
               RecordFile *file)
    : mArguments(arguments), mOut(out), mErr(err), mTerminals(terminals), mProgress(err, terminals.err), mFile(file)
{
    // Taken once: a run never changes its folder, and asking for it per file would cost a
    // system call each.
    std::error_code error;
    if (arguments.json || file != nullptr)
        mBase = std::filesystem::current_path(error).native();
}

batch::NativeName Record::absoluteName(const batch::NativeName &name) const
{
    // Without "." elements and doubled separators; ".." stays, as it may climb out of a link.
    const std::filesystem::path path(name);
    if (path.is_absolute() || mBase.empty())
        return batch::GivenNames::keyOf(name);
    // On Windows "C:x" and "\x" start from a drive's own folder, which the system tells.
    if (path.has_root_name() || path.has_root_directory()) {
        std::error_code error;
        std::filesystem::path whole = std::filesystem::absolute(path, error);
        return error ? name : whole.native();
    }
    batch::NativeName whole = mBase;
    batch::appendEntry(whole, name);
    return batch::GivenNames::keyOf(whole);
}

bool Record::report(const batch::FileOutcome &outcome, const batch::Progress &progress)
{
    const bool toErr = !mArguments.json && outcome.outcome == Outcome::Failed;
    if (toErr || mTerminals.out)
        mProgress.hide();
    if (mArguments.json)
        appendJson(mLine, outcome);
    else if (mArguments.command == Command::Undo)
        appendUndoText(outcome);
    else
        appendText(outcome);
    // Each line goes to both, whichever failed: a file that finished is told wherever it can be.
    bool goOn = true;
    if (mFile != nullptr) {
        if (!mArguments.json)
            appendJson(mFileLine, outcome);
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

void Record::appendJson(std::string &line, const batch::FileOutcome &outcome)
{
    const bool undo = mArguments.command == Command::Undo;
    std::optional<Layout> after;
    if (outcome.outcome == Outcome::Converted || outcome.outcome == Outcome::AlreadyThere)
        after = undo ? otherLayout(*outcome.before) : mArguments.target;
    line = "{\"nombre\":" + jsonString(outcome.name);
    line.append(R"(,"resultado":")").append(resultName(outcome.outcome, mArguments.simulate, undo)).append("\"");
    line.append(",\"formato\":").append(jsonLayout(outcome.before));
    line.append(",\"despues\":").append(jsonLayout(after));
    line.append(",\"mismo_que\":").append(outcome.outcome == Outcome::SameFile ? jsonString(outcome.sameAs) : "null");
    if (outcome.failure) {
        line.append(",\"error\":").append(std::to_string(outcome.failure->number()));
        line.append(",\"texto\":").append(jsonText(failureText(*outcome.failure)));
    } else {
        line.append(R"(,"error":null,"texto":null)");
    }
    appendUndoFields(line, outcome);
    line += "}\n";
}

void Record::appendUndoFields(std::string &line, const batch::FileOutcome &outcome)
{
    line.append(",\"ruta\":").append(jsonString(absoluteName(outcome.name)));
    // Identities are 64-bit numbers, which many JSON readers would round: they go as text.
    if (outcome.outcome != Outcome::Converted || mArguments.simulate || !outcome.identity) {
        line.append(R"(,"volumen":null,"archivo":null,"tamano":null,"cabecera_antes":null,"cabecera_despues":null)");
        return;
    }
    line.append(R"(,"volumen":")").append(std::to_string(outcome.identity->volume));
    line.append(R"(","archivo":")").append(std::to_string(outcome.identity->file));
    line.append(R"(","tamano":)").append(std::to_string(outcome.size));
    line.append(",\"cabecera_antes\":");
    appendHex(line, outcome.header);
    line.append(",\"cabecera_despues\":");
    const Layout found = *outcome.before;
    appendHex(line, composeHeader(otherLayout(found), groupsOf(outcome.header, found)));
}

std::string Record::summaryJson(const batch::Summary &summary, bool interrupted, std::size_t refusedLines) const
{
    std::string counts;
    if (mArguments.command == Command::Undo) {
        counts = field("deshechos", summary.converted) + "," + field("ya_deshechos", summary.alreadyUndone) + "," +
                 field("cambio_desde_entonces", summary.changedSince) + "," +
                 field("no_encontrados", summary.notFound) + "," + field("otro_archivo", summary.otherFile) + "," +
                 field("fallidos", summary.failed) + "," + field("lineas_rechazadas", refusedLines);
    } else {
        counts = field("arcade", summary.arcade) + "," + field("emulador_pc", summary.pcEmulator) + "," +
                 field("convertidos", summary.converted) + "," + field("ya_en_ese_formato", summary.alreadyThere) +
                 "," + field("no_reconocidos", summary.unrecognised) + "," + field("fallidos", summary.failed) +
                 "," + field("mismo_archivo", summary.sameFile);
    }
    return "{\"resumen\":{" + counts + "},\"simulacion\":" + (mArguments.simulate ? "true" : "false") +
           ",\"interrumpido\":" + (interrupted ? "true" : "false") +
           ",\"registro\":" + std::to_string(kRecordVersion) + "}\n";
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
    if (mFile != nullptr && onFile(flush) && toFile(summaryJson(summary, interrupted, refusedLines)))
        (void)onFile(flush);
    if (mArguments.json) {
        (void)write(mOut, summaryJson(summary, interrupted, refusedLines));
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
