#pragma once

#include "fleet/device_commands.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace kvx::fleet {

// What one device's turn does; the job's own command unless the caller gives another (the reboot).
using DeviceWork = std::function<DeviceOutcome(const CommandSettings&, const Device&, const ProgressSink&)>;

// One command over a list of devices, off the thread that starts it: at most `parallel` devices at a
// time, each device's start, progress and end reported as they come by queued signals on the thread the
// job lives on. The signals name a device by its index in the list.
class FleetJob : public QObject {
    Q_OBJECT
public:
    FleetJob(CommandSettings settings, std::vector<Device> devices, std::size_t parallel,
             QObject* parent = nullptr);
    FleetJob(CommandSettings settings, std::vector<Device> devices, std::size_t parallel, DeviceWork work,
             QObject* parent = nullptr);
    // Cancels, and waits for the devices under way to end their turn (each within its bounded waits).
    ~FleetJob() override;
    FleetJob(const FleetJob&) = delete;
    FleetJob& operator=(const FleetJob&) = delete;

    void start();
    // Devices not yet started are not started at all (deviceCancelled); those under way send nothing
    // more, except a restore or apply that has begun changing its device, which finishes that device.
    void cancel();

    bool isRunning() const { return m_running; }
    bool isCancelled() const { return m_stop.load(); }
    const std::vector<Device>& devices() const { return m_devices; }
    const CommandSettings& settings() const { return m_settings; }

Q_SIGNALS:
    void deviceStarted(int index);
    void deviceProgress(int index, const QString& text);
    void deviceFinished(int index, const kvx::fleet::DeviceOutcome& outcome);
    void deviceCancelled(int index);
    // After every device's end has been reported.
    void finished();

private:
    void run();
    void post(std::function<void()> report);

    CommandSettings m_settings;
    const std::vector<Device> m_devices;
    const std::size_t m_parallel;
    const DeviceWork m_work;
    std::atomic<bool> m_stop{false};
    bool m_running = false;
    std::thread m_thread;
};

} // namespace kvx::fleet
