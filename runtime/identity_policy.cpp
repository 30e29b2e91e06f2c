#include "runtime/identity_policy.h"

#include "runtime/binary_file.h"
#include "runtime/failure.h"

namespace vuelco::identity {
namespace {

bool isUnstable(BinaryFile &file) { return file.fileNumbers() == FileNumbers::Unstable; }

// The place opened afresh and its header read; nothing when it is cut short.
std::optional<HeaderBytes> readAgain(const BinaryFile &file, bool sameIdentity)
{
    BinaryFile fresh = BinaryFile::openForReading(file.place());
    HeaderBytes header{};
    if ((sameIdentity && fresh.identity() != file.identity()) || fresh.read(0, header) != header.size())
        return std::nullopt;
    return header;
}

bool isGone(const Failure &failure)
{
    const auto number = static_cast<FailureNumber>(failure.number());
    return number == FailureNumber::FileNotFound || number == FailureNumber::PathNotFound ||
           number == FailureNumber::BadFileName;
}

} // namespace

bool matchesListing(BinaryFile &opened, const FileIdentity &listed)
{
    return opened.identity() == listed || isUnstable(opened);
}

bool holdsWhatWasWritten(BinaryFile &file, const HeaderBytes &written)
{
    // Where numbers are unstable they may still tell a file replaced (smbnetfs -o use_ino
    // passes the server's on); what the name reads back tells it where they do not (sshfs
    // keeps the old file's number for the name).
    if (!file.isStillAtItsPath())
        return false;
    if (!isUnstable(file))
        return true;
    try {
        return readAgain(file, false) == written;
    } catch (const Failure &failure) {
        if (isGone(failure))
            return false;
        throw;
    }
}

std::optional<HeaderBytes> headerAtItsPlace(BinaryFile &file) noexcept
{
    try {
        return readAgain(file, !isUnstable(file));
    } catch (...) {
        return std::nullopt;
    }
}

bool isTheFileRecorded(BinaryFile &file, const FileIdentity &recorded, std::uint64_t size)
{
    return recorded.file != 0 && !isUnstable(file) ? file.identity() == recorded : file.size() == size;
}

FileNumbers OnceIdentities::numbersOf(BinaryFile &file) const
{
    if (file.place().numbers != FileNumbers::Unasked)
        return file.place().numbers;
    struct Met {
        std::uint64_t run = 0;
        std::uint64_t volume = 0;
        FileNumbers numbers = FileNumbers::Unasked;
    };
    thread_local Met last;
    if (last.run != mRun || last.volume != file.identity().volume)
        last = {mRun, file.identity().volume, file.fileNumbers()};
    // The write's check, later, asks the file again.
    file.setFileNumbers(last.numbers);
    return last.numbers;
}

FileIdentity OnceIdentities::of(BinaryFile &file)
{
    if (numbersOf(file) != FileNumbers::Unstable)
        return file.identity();
    std::filesystem::path::string_type name =
        std::filesystem::absolute(file.path()).lexically_normal().native();
    const std::lock_guard lock(mMutex);
    const auto [found, fresh] = mNumbers.try_emplace(std::move(name), mNumbers.size());
    return {kNamesVolume, found->second};
}

} // namespace vuelco::identity
