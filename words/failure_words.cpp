#include "words/failure_words.h"

#include "words/system_error_words.h"

#include <algorithm>

namespace vuelco::words {
namespace {

std::string systemErrorDescription(std::uint32_t error)
{
    std::string described = "Error del sistema " + std::to_string(error);
    const auto texts = systemTexts();
    const auto known =
        std::find_if(texts.begin(), texts.end(), [error](const SystemText &t) { return t.error == error; });
    if (known != texts.end())
        described.append(" (").append(known->text).append(")");
    return described;
}

std::string kindText(FileKind kind)
{
    switch (kind) {
    case FileKind::Folder: return "es una carpeta";
    case FileKind::Pipe: return "es una tubería con nombre";
    case FileKind::Socket: return "es un socket";
    case FileKind::Device: return "es un dispositivo";
    case FileKind::Other: break;
    }
    return "no es un archivo común";
}

} // namespace

std::string standardDescription(std::int32_t number)
{
    switch (number) {
    case kOverflow: return "Desbordamiento";
    case kDivisionByZero: return "División por cero";
    default: return standardDescription(static_cast<FailureNumber>(number));
    }
}

std::string standardDescription(FailureNumber number)
{
    switch (number) {
    case FailureNumber::OutOfMemory: return "Memoria insuficiente";
    case FailureNumber::InternalError: return "Error interno";
    case FailureNumber::BadFileName: return "Nombre o número de archivo incorrecto";
    case FailureNumber::FileNotFound: return "No se encontró el archivo";
    case FailureNumber::DeviceIo: return "Error de E/S en el dispositivo";
    case FailureNumber::DiskFull: return "Disco lleno";
    case FailureNumber::TooManyFiles: return "Demasiados archivos";
    case FailureNumber::DeviceNotReady: return "Dispositivo no disponible";
    case FailureNumber::PermissionDenied: return "Permiso denegado";
    case FailureNumber::ReadOnly: return "Error de acceso a la ruta o el archivo";
    case FailureNumber::PathNotFound: return "No se encontró la ruta de acceso";
    }
    return "Error desconocido";
}

std::string description(const Failure &failure)
{
    const FailureDetail &detail = failure.detail();
    switch (detail.cause) {
    case FailureCause::Standard: break;
    case FailureCause::SystemError: return systemErrorDescription(detail.systemError);
    case FailureCause::NameTooLong: return "El nombre o la ruta del archivo es demasiado largo";
    case FailureCause::NotARegularFile: return "No se puede abrir: " + kindText(detail.kind);
    case FailureCause::SymbolicLinkNotFollowed:
        return "No se puede abrir: es un enlace simbólico, y el recorrido no sigue enlaces";
    case FailureCause::NoFolderToReopenFrom:
        return "No se pudo abrir el archivo para escribir: falta /proc, por donde se vuelve a abrir";
    case FailureCause::HeldByAnotherProgram: return "Otro programa tiene el archivo bloqueado; no se escribió nada";
    case FailureCause::NoNameMatches: return "Ningún archivo coincide con ese nombre";
    case FailureCause::ReplacedWhileWriting: return "Otro programa reemplazó el archivo durante la conversión";
    case FailureCause::ReplacedWhileConverting:
        return "El archivo cambió mientras se convertía: otro programa lo reemplazó. No se convirtió";
    case FailureCause::ChangedDuringTheWalk:
        return "Cambió durante el recorrido: se movió, se reemplazó o es ahora un enlace. No se tocó";
    case FailureCause::UndoStepMissing: return "Falta el paso que deshacer";
    case FailureCause::UnexpectedException: return standardDescription(failure.number()) + ": " + detail.said;
    case FailureCause::WrittenButNotConfirmed:
        return description(failure.causes().at(0)) +
               ". La cabecera nueva quedó escrita, pero no se pudo confirmar que haya llegado al disco. "
               "Compruebe el archivo";
    case FailureCause::NotPutBack:
        return description(failure.causes().at(0)) + ". No se pudo volver a escribir la cabecera anterior (" +
               description(failure.causes().at(1)) +
               "): la cabecera puede haber quedado a medio convertir. Compruebe el archivo";
    }
    return standardDescription(failure.number());
}


std::string errorPrompt(std::int32_t number, std::string_view description, char lineBreak)
{
    std::string prompt = "Error # ";
    if (number >= 0)
        prompt += ' ';
    prompt += std::to_string(number);
    prompt += lineBreak;
    prompt += description;
    return prompt;
}

std::string errorPrompt(const Failure &failure, char lineBreak)
{
    return errorPrompt(failure.number(), description(failure), lineBreak);
}

std::string failureText(const Failure &failure)
{
    if (failure.number() != static_cast<std::int32_t>(FailureNumber::ReadOnly))
        return description(failure);
    return std::string(kReadOnlyAdvice[0]) + ' ' + std::string(kReadOnlyAdvice[1]);
}

std::string failureReason(const Failure &failure)
{
    return errorPrompt(failure.number(), {}, ':') + " " + failureText(failure);
}

} // namespace vuelco::words
