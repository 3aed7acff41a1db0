#pragma once

#include "app/main_window.h"
#include "sim/simulated_device.h"
#include "ui/search_connect_window.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <deque>
#include <functional>

namespace kvx::test {

// Plays the operator in the search and connect window: each opening takes the next action, and an
// opening with no action left is cancelled.
class SearchWindowOperator : public QObject {
public:
    explicit SearchWindowOperator(MainWindow& window)
        : m_window(window) {
        m_window.searchWindow()->installEventFilter(this);
        connect(&m_poll, &QTimer::timeout, this, &SearchWindowOperator::step);
        m_poll.start(20);
    }
    // `before` runs first, as the operator's own pause before pressing Connect.
    void connectTo(const sim::SimulatedDevice& device, std::function<void()> before = {}) {
        const QString port = QString::number(device.controlPort());
        m_actions.push_back([port, before](SearchConnectWindow* w) {
            if (before)
                before();
            w->findChild<QLineEdit*>(QStringLiteral("ipAddressEdit"))->setText(QStringLiteral("127.0.0.1"));
            w->findChild<QLineEdit*>(QStringLiteral("controlPortEdit"))->setText(port);
            QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("connectButton")), Qt::LeftButton);
        });
    }
    // Searches and picks the first device listed, leaving the window open for the next action.
    void pickFirstFound() {
        m_actions.push_back([](SearchConnectWindow* w) {
            QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("searchButton")), Qt::LeftButton);
            auto* list = w->findChild<QTreeWidget*>(QStringLiteral("deviceList"));
            if (list->topLevelItemCount() > 0)
                list->setCurrentItem(list->topLevelItem(0));
        });
    }
    int openings = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            m_fresh = true;
            ++openings;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void step() {
        SearchConnectWindow* w = m_window.searchWindow();
        if (!w->isVisible() || !m_fresh)
            return;
        m_fresh = false;
        if (m_actions.empty()) {
            w->reject();
            return;
        }
        auto action = std::move(m_actions.front());
        m_actions.pop_front();
        action(w);
        // A failed connect leaves the window open for the next action.
        if (w->isVisible())
            m_fresh = true;
    }

    MainWindow& m_window;
    QTimer m_poll;
    bool m_fresh = false;
    std::deque<std::function<void(SearchConnectWindow*)>> m_actions;
};

} // namespace kvx::test
