#include "repeater_page.h"

#include "core/bluetooth_queries.h"
#include "core/device_session.h"
#include "core/device_text.h"
#include "core/prompter.h"
#include "core/repeater_tree.h"
#include "ui/widget_setup.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <vector>

namespace kvx {
namespace {

constexpr int kIconSize = 16;

QPixmap transparentCanvas() {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A box with a status light, standing on a small network of three branches.
QIcon networkedDeviceIcon() {
    QPixmap pixmap = transparentCanvas();
    QPainter painter(&pixmap);
    painter.setPen(QColor(40, 48, 64));
    painter.setBrush(QColor(96, 120, 160));
    painter.drawRect(2, 1, 11, 6);
    painter.fillRect(4, 3, 2, 2, QColor(64, 220, 96));
    painter.drawLine(7, 8, 7, 11);
    painter.drawLine(2, 11, 13, 11);
    for (int x : {2, 7, 13})
        painter.drawLine(x, 11, x, 14);
    return QIcon(pixmap);
}

// The face of a serial plug with its two rows of pins, and the cable leaving it.
QIcon serialPlugIcon() {
    QPixmap pixmap = transparentCanvas();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(48, 48, 48));
    painter.setBrush(QColor(176, 176, 184));
    const QPointF face[] = {{0.5, 2.5}, {15.5, 2.5}, {13.0, 9.5}, {3.0, 9.5}};
    painter.drawPolygon(face, 4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(48, 48, 48));
    for (int x = 3; x <= 11; x += 2)
        painter.drawEllipse(QPointF(x + 0.5, 4.5), 0.8, 0.8);
    for (int x = 4; x <= 10; x += 2)
        painter.drawEllipse(QPointF(x + 0.5, 7.0), 0.8, 0.8);
    painter.fillRect(7, 10, 2, 6, QColor(48, 48, 48));
    return QIcon(pixmap);
}

} // namespace

RepeaterPage::RepeaterPage(DeviceSession& session, Prompter& prompter, QWidget* parent)
    : Page(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_repeaterIcon(networkedDeviceIcon())
    , m_endDeviceIcon(serialPlugIcon())
    , m_tree(new QTreeWidget(this))
    , m_refresh(namedButton(tr("Refresh"), "refreshButton", this)) {
    setObjectName(QStringLiteral("repeaterPage"));

    m_tree->setObjectName(QStringLiteral("repeaterTree"));
    m_tree->setAccessibleName(tr("Repeater"));
    m_tree->setColumnCount(1);
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setItemsExpandable(true);
    m_tree->setIconSize(QSize(kIconSize, kIconSize));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_refresh);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addLayout(buttons);

    connect(m_refresh, &QPushButton::clicked, this, &RepeaterPage::refresh);
}

void RepeaterPage::load() {
    if (!m_session.supportsCommand("REPEATER")) {
        m_refresh->setEnabled(false);
        return;
    }
    refresh();
}

void RepeaterPage::connectionReplaced() {
    m_tree->clear();
}

void RepeaterPage::refresh() {
    std::optional<RepeaterTree> tree;
    if (!runQuery(m_session, m_prompter, kRepeaterTreeQuery, {}, [&tree](std::string_view reply) {
            tree = repeaterTreeFrom(reply);
            return tree.has_value();
        }))
        return;
    m_tree->clear();
    // Built without recursion: a reply may chain repeaters as deep as its length allows.
    std::vector<std::pair<std::size_t, QTreeWidgetItem*>> pending;
    for (std::size_t root : tree->roots) {
        QTreeWidgetItem* item = makeItem(*tree, root);
        m_tree->addTopLevelItem(item);
        pending.emplace_back(root, item);
    }
    while (!pending.empty()) {
        const auto [node, item] = pending.back();
        pending.pop_back();
        for (std::size_t child : tree->nodes[node].children) {
            QTreeWidgetItem* childItem = makeItem(*tree, child);
            item->addChild(childItem);
            pending.emplace_back(child, childItem);
        }
    }
    m_tree->expandAll();
}

QTreeWidgetItem* RepeaterPage::makeItem(const RepeaterTree& tree, std::size_t node) const {
    const RepeaterNode& n = tree.nodes[node];
    auto* item = new QTreeWidgetItem({deviceTextShown(n.text)});
    item->setIcon(0, n.kind == RepeaterNode::Kind::Repeater ? m_repeaterIcon : m_endDeviceIcon);
    return item;
}

} // namespace kvx
