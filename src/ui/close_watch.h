#pragma once

#include <QObject>
#include <QTimer>

namespace kvx {

class DeviceLink;

// Watches the control connection for the device closing it, on the UI thread, without reading data
// (every read belongs to the transaction). Closing from this side stops the watch first, so a socket
// we closed never raises the notice. The watch stops once it has raised the notice: an owner that held
// the notice through a wait and finds it stale by then (the socket was closed or replaced meanwhile)
// starts the watch again.
class CloseWatch : public QObject {
    Q_OBJECT
public:
    explicit CloseWatch(DeviceLink& link, QObject* parent = nullptr);

    void start();
    void stop();
    bool isWatching() const { return m_timer.isActive(); }

Q_SIGNALS:
    void peerClosed();

private:
    void check();

    DeviceLink& m_link;
    QTimer m_timer;
};

} // namespace kvx
