#include "system_call_faults.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace {

// The system's table holds plain function pointers, so they find the fake through here.
FakeCalls *gFake = nullptr;

} // namespace

FakeCalls::FakeCalls()
{
    if (gFake != nullptr)
        throw std::logic_error("only one FakeCalls at a time");
    mInPlace = putInPlace();
    gFake = this;
}

FakeCalls::~FakeCalls() { gFake = nullptr; }

std::size_t FakeCalls::count(Call call) const
{
    return static_cast<std::size_t>(
        std::count_if(mTrace.begin(), mTrace.end(), [call](const Record &record) { return record.call == call; }));
}

std::vector<Record> FakeCalls::accesses(Call call) const
{
    std::vector<Record> found;
    std::copy_if(mTrace.begin(), mTrace.end(), std::back_inserter(found),
                 [call](const Record &record) { return record.call == call; });
    return found;
}

// The plan runs outside the lock: it may wait, as a slow device would.
Twist FakeCalls::enter(const Record &call)
{
    std::size_t index = 0;
    {
        const std::lock_guard lock(gFake->mMutex);
        gFake->mTrace.push_back(call);
        index = gFake->mTrace.size() - 1;
    }
    return gFake->mPlan ? gFake->mPlan(call, index) : Twist{};
}

void FakeCalls::countDescriptors(int change) { gFake->mOpenDescriptors += change; }

const char *nameOf(Call call) { return kSystemCalls.names.at(static_cast<std::size_t>(call)); }

bool canFallShort(Call call) { return call == Call::Read || call == Call::Write; }

// fstat and stat never wait for anything.
bool canBeInterrupted(Call call)
{
    return kSystemCalls.interrupted != 0 && call != Call::Fstat && call != Call::Stat;
}

bool failureGoesUnnoticed(const std::vector<Record> &calls, std::size_t at)
{
    return calls[at].call == Call::Close && at + 1 < calls.size() && calls[at + 1].call == Call::Close;
}

Twist twistFor(Fault fault, const Record &call)
{
    switch (fault) {
    case Fault::None: return {};
    case Fault::DeviceIo: return {kSystemCalls.deviceIo};
    case Fault::DiskFull: return {kSystemCalls.diskFull};
    case Fault::ReadOnlyDevice: return {kSystemCalls.readOnlyDevice};
    case Fault::Interrupted: return {kSystemCalls.interrupted};
    case Fault::Short: return {0, call.size > 1 ? call.size / 2 : SIZE_MAX};
    }
    return {};
}
