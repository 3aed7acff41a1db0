#include "page.h"

#include <QDialog>
#include <QEvent>

namespace kvx {

void Page::closeOwnWindows() {
    for (QDialog* dialog : findChildren<QDialog*>()) {
        if (dialog->isVisible())
            dialog->reject();
        else if (m_openings > 0)
            dialog->installEventFilter(this);
    }
}

bool Page::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        if (auto* dialog = qobject_cast<QDialog*>(watched)) {
            dialog->removeEventFilter(this);
            // Queued: a window shows before its exec() has a loop for the result to end.
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
        }
    }
    return QWidget::eventFilter(watched, event);
}

Page::WindowOpening::WindowOpening(Page& page)
    : m_page(page) {
    ++m_page.m_openings;
}

Page::WindowOpening::~WindowOpening() {
    if (--m_page.m_openings > 0)
        return;
    // A window that was not shown again after the replacement shows normally next time.
    for (QDialog* dialog : m_page.findChildren<QDialog*>())
        dialog->removeEventFilter(&m_page);
}

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
