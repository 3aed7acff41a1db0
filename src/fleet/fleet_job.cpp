#include "fleet_job.h"

#include "core/qt_text.h"
#include "fleet/runner.h"

#include <QMetaObject>
#include <system_error>

namespace kvx::fleet {

FleetJob::FleetJob(CommandSettings settings, std::vector<Device> devices, std::size_t parallel,
                   QObject* parent)
    : FleetJob(std::move(settings), std::move(devices), parallel, {}, parent) {}

FleetJob::FleetJob(CommandSettings settings, std::vector<Device> devices, std::size_t parallel,
                   DeviceWork work, QObject* parent)
    : QObject(parent)
    , m_settings(std::move(settings))
    , m_devices(std::move(devices))
    , m_parallel(std::max<std::size_t>(parallel, 1))
    , m_work(std::move(work)) {
    m_settings.connect.stop = &m_stop;
}

FleetJob::~FleetJob() {
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void FleetJob::start() {
    if (m_running || m_thread.joinable())
        return;
    m_running = true;
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error& error) {
        // Without a thread of its own the job runs nothing: every device is told why, as a worker the
        // system refused tells its device.
        const QString reason =
            QStringLiteral("cannot start a worker: ") + QString::fromLocal8Bit(error.what());
        for (std::size_t i = 0; i < m_devices.size(); ++i) {
            DeviceOutcome outcome;
            outcome.host = m_devices[i].label();
            outcome.step = "start";
            outcome.messages = {reason};
            post([this, i, outcome] { Q_EMIT deviceFinished(int(i), outcome); });
        }
        post([this] {
            m_running = false;
            Q_EMIT finished();
        });
    }
}

void FleetJob::cancel() {
    m_stop = true;
}

void FleetJob::post(std::function<void()> report) {
    QMetaObject::invokeMethod(this, std::move(report), Qt::QueuedConnection);
}

void FleetJob::run() {
    const auto work = [this](std::size_t i) {
        if (m_stop) {
            post([this, i] { Q_EMIT deviceCancelled(int(i)); });
            return;
        }
        post([this, i] { Q_EMIT deviceStarted(int(i)); });
        const ProgressSink progress = [this, i](const std::string& text) {
            post([this, i, text = fromStd(text)] { Q_EMIT deviceProgress(int(i), text); });
        };
        DeviceOutcome outcome;
        if (m_work) {
            outcome = m_work(m_settings, m_devices[i], progress);
        } else {
            StreamTranscript quiet;
            outcome = runOnDevice(m_settings, m_devices[i], progress, quiet);
        }
        post([this, i, outcome = std::move(outcome)] { Q_EMIT deviceFinished(int(i), outcome); });
    };
    const auto notStarted = [this](std::size_t i, const std::string& reason) {
        DeviceOutcome outcome;
        outcome.host = m_devices[i].label();
        outcome.step = "start";
        outcome.messages = {fromStd(reason)};
        post([this, i, outcome = std::move(outcome)] { Q_EMIT deviceFinished(int(i), outcome); });
    };
    runInParallel(m_devices.size(), m_parallel, work, notStarted, [] {});
    // Posted after every device's report, so it arrives after them; the thread ends right after.
    post([this] {
        if (m_thread.joinable())
            m_thread.join();
        m_running = false;
        Q_EMIT finished();
    });
}

} // namespace kvx::fleet
