#pragma once

#include <QTimer>
#include <QWidget>

namespace kvx {

// A tab page of the main window. The main window runs load() when the page's tab is chosen, by a
// click or by the keyboard alike.
class Page : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void load() {}
    // The connection was replaced (a connect, a reboot, a reconnect, a connect that failed after the
    // old connection was dropped); pages drop what belonged to the old one.
    virtual void connectionReplaced() { closeOwnWindows(); }
    // The page's windows hold values read from the replaced connection; their Apply would write them to
    // another device. Open ones close, and one that is being opened right now (the connection was
    // replaced from inside its load) closes as soon as it shows.
    void closeOwnWindows();

protected:
    // The span in which the page opens one of its windows (see closeOwnWindows()).
    class WindowOpening {
    public:
        explicit WindowOpening(Page& page);
        ~WindowOpening();
        WindowOpening(const WindowOpening&) = delete;
        WindowOpening& operator=(const WindowOpening&) = delete;

    private:
        Page& m_page;
    };

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_openings = 0;
};

// A page that refreshes itself every two seconds while its timer runs; the main window starts and
// stops the timer as tabs are chosen.
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
