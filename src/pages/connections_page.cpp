#include "connections_page.h"

#include "core/bluetooth_queries.h"
#include "core/connection_status.h"
#include "core/device_session.h"
#include "core/device_text.h"
#include "core/prompter.h"
#include "ui/widget_setup.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIconEngine>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kvx {
namespace {

enum Column { IndicatorColumn, IdxColumn, ColumnCount = 8 };

struct ColumnSpec {
    const char* caption;
    int width;
};
// The captions are padded with blanks as the device's own tools show them.
const ColumnSpec kColumns[ColumnCount] = {
    {"", 26},
    {QT_TRANSLATE_NOOP("kvx::ConnectionsPage", "idx"), 40},
    {QT_TRANSLATE_NOOP("kvx::ConnectionsPage", "dev"), 48},
    {QT_TRANSLATE_NOOP("kvx::ConnectionsPage", " Port"), 56},
    {QT_TRANSLATE_NOOP("kvx::ConnectionsPage", "          Addr"), 160},
    {QT_TRANSLATE_NOOP("kvx::ConnectionsPage", "         Name"), 180},
    {QT_TRANSLATE_NOOP("kvx::ConnectionsPage", "  Tx"), 90},
    {QT_TRANSLATE_NOOP("kvx::ConnectionsPage", "    Rx"), 90},
};

// Painted at whatever size and pixel ratio the view asks for, so the square stays sharp on a dense
// screen instead of being a small bitmap blown up.
class SquareIconEngine : public QIconEngine {
public:
    explicit SquareIconEngine(QColor colour)
        : m_colour(colour) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        painter->fillRect(rect, m_colour);
    }
    QIconEngine* clone() const override { return new SquareIconEngine(m_colour); }

private:
    QColor m_colour;
};

// Solid squares in the order of LinkIndicator; the white one is never chosen.
std::array<QIcon, 4> indicatorImages() {
    std::array<QIcon, 4> images;
    const Qt::GlobalColor colours[] = {Qt::green, Qt::yellow, Qt::red, Qt::white};
    for (std::size_t i = 0; i < images.size(); ++i)
        images[i] = QIcon(new SquareIconEngine(colours[i]));
    return images;
}

// The colour alone tells nothing to a screen reader or to an operator who cannot tell red from green.
QString indicatorText(LinkIndicator indicator) {
    switch (indicator) {
    case LinkIndicator::Green:
        return ConnectionsPage::tr("good");
    case LinkIndicator::Yellow:
        return ConnectionsPage::tr("fair");
    case LinkIndicator::Red:
        return ConnectionsPage::tr("poor");
    case LinkIndicator::None:
        break;
    }
    return ConnectionsPage::tr("unknown");
}

} // namespace

ConnectionsPage::ConnectionsPage(DeviceSession& session, Prompter& prompter, QWidget* parent)
    : TimedPage(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_list(new QTreeWidget(this))
    , m_disconnect(namedButton(tr("Disconnect"), "disconnectButton", this))
    , m_images(indicatorImages()) {
    setObjectName(QStringLiteral("connectionsPage"));

    m_list->setObjectName(QStringLiteral("connectionList"));
    m_list->setAccessibleName(tr("Connections"));
    m_list->setColumnCount(ColumnCount);
    QStringList captions;
    for (const ColumnSpec& column : kColumns)
        captions << (*column.caption ? tr(column.caption) : QString());
    m_list->setHeaderLabels(captions);
    setUpReportList(m_list);
    m_list->setIconSize(QSize(16, 16));
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(9.5);
    m_list->setFont(fixed);
    for (int c = 0; c < ColumnCount; ++c)
        m_list->setColumnWidth(c, kColumns[c].width);

    QPushButton* refreshButton = namedButton(tr("Refresh"), "refreshButton", this);
    m_disconnect->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(refreshButton);
    buttons->addWidget(m_disconnect);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &ConnectionsPage::rememberSelection);
    connect(refreshButton, &QPushButton::clicked, this, &ConnectionsPage::refresh);
    connect(m_disconnect, &QPushButton::clicked, this, &ConnectionsPage::disconnectSelected);
}

void ConnectionsPage::load() {
    refresh();
}

void ConnectionsPage::connectionReplaced() {
    // An idx names a connection of one device only.
    m_selectedIdx.reset();
    const QSignalBlocker blocker(m_list);
    m_list->clearSelection();
}

void ConnectionsPage::refreshTick() {
    // A tick that comes while a refresh still waits, or shows its message, would start a second one
    // inside it; the next tick after it is soon enough.
    if (m_busy || m_session.inTransaction())
        return;
    refresh();
}

void ConnectionsPage::rememberSelection() {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty())
        m_selectedIdx.reset();
    else
        m_selectedIdx = selected.first()->text(IdxColumn);
    m_disconnect->setEnabled(true);
}

std::string ConnectionsPage::selectedIdx() const {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? std::string()
                              : selected.first()->data(IdxColumn, Qt::UserRole).toByteArray().toStdString();
}

void ConnectionsPage::refresh() {
    const QScopedValueRollback<bool> busy(m_busy, true);
    {
        const QSignalBlocker blocker(m_list);
        m_list->clear();
    }
    // A tick runs no Reading: its last look would hold the window for a good part of every refresh, and a
    // list of whole lines without its "+OK" is shown as the device sent it.
    const QueryOutcome list = askQuery(m_session, kConnectionList);
    const bool silent = list.kind == QueryOutcome::Kind::Silent;
    // The device is gone; no tick may come while the operator reads why the program ends.
    if (silent)
        stopRefreshTimer();
    reportFailure(m_session, m_prompter, kConnectionList, list);
    if (silent)
        m_session.postClose();
    if (!list)
        return;
    const bool showIndicator =
        firmwareShowsIndicator(runQuery(m_session, m_prompter, kIndicatorVersionQuery).reply);
    const ConnectionStatus status = parseConnectionStatus(list.reply, showIndicator);

    {
        const QSignalBlocker blocker(m_list);
        bool reselected = false;
        for (const ConnectionRow& row : status.rows) {
            auto* item = new QTreeWidgetItem(m_list);
            const auto image = static_cast<std::size_t>(row.indicator);
            if (image < m_images.size())
                item->setIcon(IndicatorColumn, m_images[image]);
            item->setText(IndicatorColumn, QStringLiteral(" "));
            const QString quality = indicatorText(row.indicator);
            item->setData(IndicatorColumn, Qt::AccessibleTextRole, quality);
            item->setToolTip(IndicatorColumn, quality);
            for (std::size_t c = 0; c < row.columns.size(); ++c)
                item->setText(int(c) + 1, deviceTextShown(row.columns[c]));
            // Disconnect gives the device its idx back as the device wrote it.
            const std::string& idx = row.columns[IdxColumn - 1];
            item->setData(IdxColumn, Qt::UserRole, QByteArray(idx.data(), qsizetype(idx.size())));
            // The highlight follows the chosen connection to wherever this refresh put it.
            if (!reselected && m_selectedIdx && item->text(IdxColumn) == *m_selectedIdx) {
                item->setSelected(true);
                reselected = true;
            }
        }
    }
    if (status.imperfect)
        m_prompter.message(tr("Get Status is imperfect. Try again."));
}

void ConnectionsPage::disconnectSelected() {
    const QScopedValueRollback<bool> busy(m_busy, true);
    if (runQuery(m_session, m_prompter, kDisconnect, "disc " + selectedIdx() + "\r\n"))
        refresh();
}

} // namespace kvx
