#include "runtime/failure.h"

namespace vuelco {

FailureDetail FailureDetail::ofSystemError(std::uint32_t code)
{
    FailureDetail detail(FailureCause::SystemError);
    detail.systemError = code;
    return detail;
}

FailureDetail FailureDetail::ofKind(FileKind found)
{
    FailureDetail detail(FailureCause::NotARegularFile);
    detail.kind = found;
    return detail;
}

FailureDetail FailureDetail::ofException(std::string what)
{
    FailureDetail detail(FailureCause::UnexpectedException);
    detail.said = std::move(what);
    return detail;
}

Failure::Failure(std::int32_t number, std::filesystem::path path, FailureDetail detail, std::vector<Failure> causes)
    : std::runtime_error("Error # " + std::to_string(number)),
      mNumber(number),
      mPath(std::move(path)),
      mDetail(std::move(detail)),
      mCauses(std::move(causes))
{
}

Failure::Failure(FailureNumber number, std::filesystem::path path, FailureDetail detail, std::vector<Failure> causes)
    : Failure(static_cast<std::int32_t>(number), std::move(path), std::move(detail), std::move(causes))
{
}

} // namespace vuelco
