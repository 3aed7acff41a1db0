#include "widget_setup.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTreeWidget>

namespace kvx {

void setUpReportList(QTreeWidget* list) {
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
