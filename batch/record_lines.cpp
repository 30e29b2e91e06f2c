#include "batch/record_lines.h"

#include "batch/given_names.h"
#include "runtime/name_text.h"
#include "words/failure_words.h"
#include "words/layout_words.h"

#include <filesystem>
#include <utility>

namespace vuelco::batch {
namespace {

std::string jsonLayout(const std::optional<Layout> &layout)
{
    return layout ? jsonText(words::layoutCaption(*layout)) : "null";
}

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

RecordLines::RecordLines(RecordRun run, NativeName base) : mRun(run), mBase(std::move(base)) {}

NativeName RecordLines::absoluteName(const NativeName &name) const
{
    // Without "." elements and doubled separators; ".." stays, as it may climb out of a link.
    const std::filesystem::path path(name);
    if (path.is_absolute() || mBase.empty())
        return GivenNames::keyOf(name);
    // On Windows "C:x" and "\x" start from a drive's own folder, which the system tells.
    if (path.has_root_name() || path.has_root_directory()) {
        std::error_code error;
        std::filesystem::path whole = std::filesystem::absolute(path, error);
        return error ? name : whole.native();
    }
    NativeName whole = mBase;
    appendEntry(whole, name);
    return GivenNames::keyOf(whole);
}

void RecordLines::compose(std::string &line, const FileOutcome &outcome) const
{
    std::optional<Layout> after;
    if (outcome.outcome == Outcome::Converted || outcome.outcome == Outcome::AlreadyThere)
        after = mRun.undo ? otherLayout(*outcome.before) : mRun.target;
    line = "{\"nombre\":" + jsonString(outcome.name);
    line.append(R"(,"resultado":")").append(resultName(outcome.outcome, mRun.simulate, mRun.undo)).append("\"");
    line.append(",\"formato\":").append(jsonLayout(outcome.before));
    line.append(",\"despues\":").append(jsonLayout(after));
    line.append(",\"mismo_que\":").append(outcome.outcome == Outcome::SameFile ? jsonString(outcome.sameAs) : "null");
    if (outcome.failure) {
        line.append(",\"error\":").append(std::to_string(outcome.failure->number()));
        line.append(",\"texto\":").append(jsonText(words::failureText(*outcome.failure)));
    } else {
        line.append(R"(,"error":null,"texto":null)");
    }
    appendUndoFields(line, outcome);
    line += "}\n";
}

void RecordLines::appendUndoFields(std::string &line, const FileOutcome &outcome) const
{
    line.append(",\"ruta\":").append(jsonString(absoluteName(outcome.name)));
    // Identities are 64-bit numbers, which many JSON readers would round: they go as text.
    if (outcome.outcome != Outcome::Converted || mRun.simulate || !outcome.identity) {
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

std::string RecordLines::summary(const Summary &summary, bool interrupted, std::size_t refusedLines) const
{
    std::string counts;
    if (mRun.undo) {
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
    return "{\"resumen\":{" + counts + "},\"simulacion\":" + (mRun.simulate ? "true" : "false") +
           ",\"interrumpido\":" + (interrupted ? "true" : "false") +
           ",\"registro\":" + std::to_string(kRecordVersion) + "}\n";
}

} // namespace vuelco::batch
