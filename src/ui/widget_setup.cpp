#include "widget_setup.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

namespace kvx {
namespace {

// The average character width of the dialog font the lists' pixel widths were chosen for.
constexpr double kDescribedCharWidth = 6.0;

// Keeps a list's columns readable in the font in use: the widths chosen in pixels grow with the font,
// and a column never cuts what it shows (a whole Bluetooth address, say). A hidden column stays hidden.
class ColumnSizer : public QObject {
public:
    explicit ColumnSizer(QTreeWidget* list)
        : QObject(list)
        , m_list(list) {
        list->installEventFilter(this);
        connect(list->model(), &QAbstractItemModel::rowsInserted, this, [this] { widenToContents(); });
        connect(list->model(), &QAbstractItemModel::dataChanged, this, [this] { widenToContents(); });
    }

    bool eventFilter(QObject*, QEvent* event) override {
        // The widths a window chose are taken at the first showing, once they are all set.
        if (event->type() == QEvent::Show || (event->type() == QEvent::FontChange && !m_chosen.empty())) {
            scaleToFont();
            widenToContents();
        }
        return false;
    }

private:
    // By the desktop's font: a list may take a face of its own (fixed pitch) that its widths were
    // chosen for already.
    void scaleToFont() {
        const int columns = m_list->columnCount();
        if (m_chosen.size() != std::size_t(columns)) {
            m_chosen.clear();
            for (int c = 0; c < columns; ++c)
                m_chosen.push_back(m_list->columnWidth(c));
        }
        const double factor =
            std::max(1.0, QFontMetrics(QApplication::font()).averageCharWidth() / kDescribedCharWidth);
        for (int c = 0; c < columns; ++c)
            if (!m_list->isColumnHidden(c) && m_chosen[std::size_t(c)] > 0)
                m_list->setColumnWidth(c, int(m_chosen[std::size_t(c)] * factor + 0.5));
    }

    void widenToContents() {
        if (!m_list->isVisible())
            return;
        for (int c = 0; c < m_list->columnCount(); ++c) {
            if (m_list->isColumnHidden(c) || m_list->columnWidth(c) == 0)
                continue;
            // The tree view keeps its own override protected; the view's is public.
            const int wanted = static_cast<const QAbstractItemView*>(m_list)->sizeHintForColumn(c);
            if (wanted > m_list->columnWidth(c))
                m_list->setColumnWidth(c, wanted);
        }
    }

    QTreeWidget* m_list;
    std::vector<int> m_chosen;
};

// A drop-down list named by its label; its item is its value, and it opens as the list itself does.
class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        const auto* combo = static_cast<const QComboBox*>(widget());
        if (t == QAccessible::Name)
            return combo->accessibleName();
        if (t == QAccessible::Value)
            return combo->currentText();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << showMenuAction() << pressAction();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction())
            static_cast<QComboBox*>(widget())->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

} // namespace

void setUpReportList(QTreeWidget* list) {
    // Captions are padded with blanks to line up over their values; a screen reader gets the words.
    QTreeWidgetItem* header = list->headerItem();
    for (int c = 0; c < header->columnCount(); ++c)
        header->setData(c, Qt::AccessibleTextRole, header->text(c).trimmed());
    new ColumnSizer(list);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSortingEnabled(false);
    list->setAllColumnsShowFocus(true);
    list->header()->setSectionsClickable(false);
    list->header()->setStretchLastSection(false);
    list->setStyleSheet(QStringLiteral(
        "QTreeWidget::item { border-right: 1px solid palette(mid); border-bottom: 1px solid palette(mid); }"
        // A style sheet on the items leaves the focused selection to the style, which drew it pale
        // behind white text; both states take the palette's own pair, readable in light and dark ones.
        "QTreeWidget::item:selected { background: palette(highlight); color: palette(highlighted-text); }"));
}

void keepToOneLine(QLineEdit* edit) {
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\\r\\n]*")), edit));
}

QLabel* labelFor(const QString& text, QWidget* field, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(field);
    field->setAccessibleName(text);
    // Taken before the platform's own interface is made; the cache drops it with the list.
    if (auto* combo = qobject_cast<QComboBox*>(field); combo != nullptr && !combo->isEditable())
        QAccessible::registerAccessibleInterface(new NamedComboBox(combo));
    return label;
}

QPushButton* namedButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QPushButton* addActionRow(QDialog* dialog, QBoxLayout* layout, const QString& actionText,
                          const QString& actionName) {
    auto* action = new QPushButton(actionText, dialog);
    action->setObjectName(actionName);
    action->setDefault(true);
    auto* cancel = new QPushButton(QCoreApplication::translate("kvx::DialogButtons", "Cancel"), dialog);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(action);
    row->addWidget(cancel);
    layout->addLayout(row);
    return action;
}

} // namespace kvx
