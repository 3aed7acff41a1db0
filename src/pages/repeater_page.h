#pragma once

#include "pages/page.h"

#include <QIcon>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kvx {

class DeviceSession;
class Prompter;
struct RepeaterTree;

// Tab 4: the repeater network as a tree of repeaters and the end devices attached to them. It only reads;
// firmware without the repeater function gets a page that sends nothing.
class RepeaterPage : public Page {
    Q_OBJECT
public:
    RepeaterPage(DeviceSession& session, Prompter& prompter, QWidget* parent = nullptr);

    void load() override;
    void connectionReplaced() override;

private:
    void refresh();
    QTreeWidgetItem* makeItem(const RepeaterTree& tree, std::size_t node) const;

    DeviceSession& m_session;
    Prompter& m_prompter;
    const QIcon m_repeaterIcon;
    const QIcon m_endDeviceIcon;

    QTreeWidget* m_tree;
    QPushButton* m_refresh;
};

} // namespace kvx
