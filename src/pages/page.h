#pragma once

#include <QTimer>
#include <QWidget>

namespace kvx {

// A tab page of the main window. The main window runs load() when the page's tab is clicked.
class Page : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void load() {}
    // The connect operation replaced a working connection; pages drop what belonged to the old one.
    virtual void connectionReplaced() {}
};

// A page that refreshes itself every two seconds while its timer runs; the main window starts and
// stops the timer as tabs are clicked.
class TimedPage : public Page {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 2000;

    explicit TimedPage(QWidget* parent = nullptr);

    void startRefreshTimer();
    void stopRefreshTimer();
    bool refreshTimerRunning() const { return m_refreshTimer.isActive(); }

protected:
    virtual void refreshTick() {}

private:
    QTimer m_refreshTimer;
};

} // namespace kvx
