#include "page.h"

namespace kvx {

TimedPage::TimedPage(QWidget* parent)
    : Page(parent) {
    m_refreshTimer.setInterval(kRefreshMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &TimedPage::refreshTick);
}

void TimedPage::startRefreshTimer() {
    m_refreshTimer.start();
}
void TimedPage::stopRefreshTimer() {
    m_refreshTimer.stop();
}

} // namespace kvx
