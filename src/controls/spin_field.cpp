#include "spin_field.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kvx {
namespace {

QToolButton* arrow(Qt::ArrowType type, const QString& name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(type);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(18, 12);
    button->setEnabled(false);
    return button;
}

} // namespace

SpinField::SpinField(const QString& name, QWidget* parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
    , m_up(arrow(Qt::UpArrow, name + QStringLiteral("Up"), this))
    , m_down(arrow(Qt::DownArrow, name + QStringLiteral("Down"), this)) {
    m_edit->setObjectName(name + QStringLiteral("Edit"));
    m_edit->setMaximumWidth(80);
    m_edit->installEventFilter(this);

    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->addWidget(m_up);
    arrows->addWidget(m_down);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_edit);
    row->addLayout(arrows);

    // A screen reader names the arrows by what they do; the field itself takes its label's name.
    m_up->setAccessibleName(tr("Increase"));
    m_down->setAccessibleName(tr("Decrease"));

    connect(m_up, &QToolButton::clicked, this, [this] { step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
}

void SpinField::setRange(int low, int high) {
    m_low = low;
    m_high = high;
    m_up->setEnabled(true);
    m_down->setEnabled(true);
}

void SpinField::setValue(int value) {
    m_position = value;
    m_edit->setText(QString::number(value));
}

void SpinField::step(int delta) {
    bool isNumber = false;
    const int typed = m_edit->text().toInt(&isNumber);
    // Text that is no number of the range leaves the arrows stepping from where they last stood.
    if (isNumber && typed >= m_low && typed <= m_high)
        m_position = typed;
    setValue(std::clamp(m_position + delta, m_low, m_high));
}

bool SpinField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit && event->type() == QEvent::KeyPress && m_up->isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kvx
