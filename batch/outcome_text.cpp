#include "batch/outcome_text.h"

namespace vuelco::batch {

std::string failureText(const Failure &failure)
{
    if (failure.number() != static_cast<std::int32_t>(FailureNumber::ReadOnly))
        return failure.description();
    return std::string(kReadOnlyAdvice[0]) + ' ' + std::string(kReadOnlyAdvice[1]);
}

std::string failureReason(const Failure &failure)
{
    return errorPrompt(failure.number(), {}, ':') + " " + failureText(failure);
}

} // namespace vuelco::batch
