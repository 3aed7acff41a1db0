#include "close_watch.h"

#include "core/device_link.h"

namespace kvx {

CloseWatch::CloseWatch(DeviceLink& link, QObject* parent)
    : QObject(parent)
    , m_link(link) {
    m_timer.setInterval(200);
    connect(&m_timer, &QTimer::timeout, this, &CloseWatch::check);
}

void CloseWatch::start() {
    m_timer.start();
}
void CloseWatch::stop() {
    m_timer.stop();
}

void CloseWatch::check() {
    if (!m_link.peerHasClosed())
        return;
    m_timer.stop();
    Q_EMIT peerClosed();
}

} // namespace kvx
