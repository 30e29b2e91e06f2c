#pragma once

#include "batch/file_outcome.h"
#include "batch/record_file.h"
#include "batch/request.h"
#include "batch/stop_request.h"
#include "batch/undo_record.h"
#include "runtime/failure.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

namespace vuelco {

// The collection window's front on the batch engine: runs one request at a time on a
// thread of its own (and the engine's workers), and tells the window how far it has come
// through queued signals, so that the window's event loop never waits for a file. Progress
// is told at most every few milliseconds, whatever the number of files, so that a batch
// of small files cannot flood the event loop.
//
// A run that writes files may keep its record (the JSON lines vuelco-cli --registro
// writes), each line written as its file is reported and the whole flushed to the device
// at the end; a run that wrote nothing removes it. The files a conversion wrote are also
// kept here, so that the window can take exactly them back.
class CollectionRun : public QObject {
    Q_OBJECT

public:
    explicit CollectionRun(QObject *parent = nullptr);
    // Stops a run still going, and waits for the files in flight.
    ~CollectionRun() override;
    CollectionRun(const CollectionRun &) = delete;
    CollectionRun &operator=(const CollectionRun &) = delete;

    // A record made for a run, and where it is.
    struct KeptRecord {
        batch::RecordFile file;
        std::filesystem::path path;
    };

    // Starts the request, its lines written to record when given; nothing while a run is going.
    void start(batch::Request request, std::unique_ptr<KeptRecord> record = nullptr);
    // Takes no new file: those in flight finish whole, then finished() comes.
    void stop() noexcept { mStop->request(); }
    [[nodiscard]] bool running() const noexcept { return mRunning; }

    // The last run's counts and, one line each, the names that failed or are no BGA file
    // with the reason, as the command line words it; read once finished() came.
    [[nodiscard]] const batch::Summary &summary() const noexcept { return mSummary; }
    [[nodiscard]] const QStringList &problems() const noexcept { return mProblems; }
    // The files the last conversion wrote, with what undoing each needs, in its order.
    [[nodiscard]] const batch::UndoRecord &converted() const noexcept { return mConverted; }
    // Why the last run's record could not be written, which stopped the run.
    [[nodiscard]] const std::optional<Failure> &recordFailure() const noexcept { return mRecordFailure; }

signals:
    // Files done so far out of those found; complete once nothing more will be found.
    void progressed(qulonglong done, qulonglong found, bool complete);
    void finished();

private:
    class Front;

    struct Result;
    void takeResult(Result result);

    std::unique_ptr<batch::StopRequest> mStop;
    std::jthread mThread;
    batch::Summary mSummary;
    QStringList mProblems;
    batch::UndoRecord mConverted;
    std::optional<Failure> mRecordFailure;
    bool mRunning = false;
};

} // namespace vuelco
