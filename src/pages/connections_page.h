#pragma once

#include "pages/page.h"

#include <QIcon>
#include <QString>
#include <array>
#include <optional>
#include <string>

class QPushButton;
class QTreeWidget;

namespace kvx {

class DeviceSession;
class Prompter;

// Tab 2: the device's live Bluetooth connections with a link indicator each, refreshed every two
// seconds while the tab is shown; one of them can be dropped.
class ConnectionsPage : public TimedPage {
    Q_OBJECT
public:
    ConnectionsPage(DeviceSession& session, Prompter& prompter, QWidget* parent = nullptr);

    void load() override;
    void connectionReplaced() override;

protected:
    void refreshTick() override;

private:
    void refresh();
    void disconnectSelected();
    void rememberSelection();
    // As the device wrote it.
    std::string selectedIdx() const;

    DeviceSession& m_session;
    Prompter& m_prompter;
    QTreeWidget* m_list;
    QPushButton* m_disconnect;
    std::array<QIcon, 4> m_images;
    // The connection the operator chose, by its idx: rows are rebuilt on every refresh and may move.
    std::optional<QString> m_selectedIdx;
    // A refresh or a disconnect is under way, its messages included.
    bool m_busy = false;
};

} // namespace kvx
