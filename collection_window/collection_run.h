#pragma once

#include "batch/file_outcome.h"
#include "batch/request.h"
#include "batch/stop_request.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <thread>

namespace vuelco {

// The collection window's front on the batch engine: runs one request at a time on a
// thread of its own (and the engine's workers), and tells the window how far it has come
// through queued signals, so that the window's event loop never waits for a file. Progress
// is told at most every few milliseconds, whatever the number of files, so that a batch
// of small files cannot flood the event loop.
class CollectionRun : public QObject {
    Q_OBJECT

public:
    explicit CollectionRun(QObject *parent = nullptr);
    // Stops a run still going, and waits for the files in flight.
    ~CollectionRun() override;
    CollectionRun(const CollectionRun &) = delete;
    CollectionRun &operator=(const CollectionRun &) = delete;

    // Starts the request; nothing while a run is going.
    void start(batch::Request request);
    // Takes no new file: those in flight finish whole, then finished() comes.
    void stop() noexcept { mStop->request(); }
    [[nodiscard]] bool running() const noexcept { return mRunning; }

    // The last run's counts and, one line each, the names that failed or are no BGA file
    // with the reason, as the command line words it; read once finished() came.
    [[nodiscard]] const batch::Summary &summary() const noexcept { return mSummary; }
    [[nodiscard]] const QStringList &problems() const noexcept { return mProblems; }

signals:
    // Files done so far out of those found; complete once nothing more will be found.
    void progressed(qulonglong done, qulonglong found, bool complete);
    void finished();

private:
    class Front;

    void takeResult(const batch::Summary &summary, QStringList problems);

    std::unique_ptr<batch::StopRequest> mStop;
    std::jthread mThread;
    batch::Summary mSummary;
    QStringList mProblems;
    bool mRunning = false;
};

} // namespace vuelco
