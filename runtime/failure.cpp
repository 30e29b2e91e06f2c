#include "runtime/failure.h"

namespace vuelco {

Failure::Failure(std::int32_t number, std::string description, std::filesystem::path path)
    : std::runtime_error(errorPrompt(number, description, '\n')),
      mNumber(number),
      mDescription(std::move(description)),
      mPath(std::move(path))
{
}

Failure::Failure(FailureNumber number, std::string description, std::filesystem::path path)
    : Failure(static_cast<std::int32_t>(number), std::move(description), std::move(path))
{
}

std::string standardDescription(FailureNumber number)
{
    switch (number) {
    case FailureNumber::Overflow: return "Desbordamiento";
    case FailureNumber::OutOfMemory: return "Memoria insuficiente";
    case FailureNumber::DivisionByZero: return "División por cero";
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

std::string systemErrorDescription(std::uint32_t error, const char *cause)
{
    std::string description = "Error del sistema " + std::to_string(error);
    if (cause != nullptr)
        description.append(" (").append(cause).append(")");
    return description;
}

Failure nameTooLong(const std::filesystem::path &path)
{
    return Failure(FailureNumber::BadFileName, "El nombre o la ruta del archivo es demasiado largo", path);
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
    return errorPrompt(failure.number(), failure.description(), lineBreak);
}

} // namespace vuelco
