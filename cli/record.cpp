#include "cli/record.h"

#include "batch/outcome_text.h"
#include "runtime/name_text.h"

#include <ostream>

namespace vuelco::cli {
namespace {

using batch::failureText;
using batch::Outcome;

std::string jsonLayout(const std::optional<Layout> &layout)
{
    return layout ? jsonText(layoutCaption(*layout)) : "null";
}

const char *resultName(Outcome outcome, bool simulate)
{
    switch (outcome) {
    case Outcome::Looked: return "visto";
    case Outcome::Converted: return simulate ? "se_convertiria" : "convertido";
    case Outcome::AlreadyThere: return "ya_en_ese_formato";
    case Outcome::Unrecognised: return "no_reconocido";
    case Outcome::SameFile: return "mismo_archivo";
    case Outcome::Failed: return "fallido";
    }
    return "fallido";
}

} // namespace

Record::Record(const Arguments &arguments, std::ostream &out, std::ostream &err, Terminals terminals)
    : mArguments(arguments), mOut(out), mErr(err), mTerminals(terminals), mProgress(err, terminals.err)
{
}

bool Record::report(const batch::FileOutcome &outcome, const batch::Progress &progress)
{
    const bool toErr = !mArguments.json && outcome.outcome == Outcome::Failed;
    if (toErr || mTerminals.out)
        mProgress.hide();
    if (mArguments.json)
        appendJson(outcome);
    else
        appendText(outcome);
    const bool goOn = write(toErr ? mErr : mOut, mLine);
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
        mLine.append("\t").append(kUnknownCaption).append(batch::kNotConvertedNote);
        break;
    case Outcome::SameFile:
        mLine.append("\tes el mismo archivo que ");
        appendEscapedName(mLine, outcome.sameAs);
        mLine.append(" (se trata una sola vez)");
        break;
    case Outcome::Failed:
        mLine.append(": ").append(escapedText(batch::failureReason(*outcome.failure)));
        break;
    }
    mLine += '\n';
}

void Record::appendJson(const batch::FileOutcome &outcome)
{
    const bool converts = outcome.outcome == Outcome::Converted || outcome.outcome == Outcome::AlreadyThere;
    mLine = "{\"nombre\":" + jsonString(outcome.name);
    mLine.append(R"(,"resultado":")").append(resultName(outcome.outcome, mArguments.simulate)).append("\"");
    mLine.append(",\"formato\":").append(jsonLayout(outcome.before));
    mLine.append(",\"despues\":").append(jsonLayout(converts ? std::optional(mArguments.target) : std::nullopt));
    mLine.append(",\"mismo_que\":")
        .append(outcome.outcome == Outcome::SameFile ? jsonString(outcome.sameAs) : "null");
    if (outcome.failure) {
        mLine.append(",\"error\":").append(std::to_string(outcome.failure->number()));
        mLine.append(",\"texto\":").append(jsonText(failureText(*outcome.failure)));
    } else {
        mLine.append(R"(,"error":null,"texto":null)");
    }
    mLine += "}\n";
}

void Record::close(const batch::Summary &summary, bool interrupted)
{
    mProgress.hide();
    if (mArguments.json) {
        const auto field = [](const char *name, std::size_t count) {
            return std::string("\"") + name + "\":" + std::to_string(count);
        };
        const std::string line =
            "{\"resumen\":{" + field("arcade", summary.arcade) + "," + field("emulador_pc", summary.pcEmulator) + "," +
            field("convertidos", summary.converted) + "," + field("ya_en_ese_formato", summary.alreadyThere) + "," +
            field("no_reconocidos", summary.unrecognised) + "," + field("fallidos", summary.failed) + "," +
            field("mismo_archivo", summary.sameFile) + "},\"simulacion\":" + (mArguments.simulate ? "true" : "false") +
            ",\"interrumpido\":" + (interrupted ? "true" : "false") + "}\n";
        (void)write(mOut, line);
        mOut.flush();
        (void)wentThrough(mOut);
        return;
    }
    mOut.flush();
    (void)wentThrough(mOut);
    if (interrupted)
        (void)write(mErr, "vuelco-cli: interrumpido; no se tomaron más archivos\n");
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
