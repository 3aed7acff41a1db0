#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace kvx {

// A number field whose arrows (and the Up and Down keys) step inside a range. Typed text is kept as
// typed, even out of range; the arrows then step from where they last stood. Until a range is set the
// arrows are off, having nothing to step within.
class SpinField : public QWidget {
    Q_OBJECT
public:
    // The field is named `name` + "Edit", the arrows `name` + "Up" and `name` + "Down".
    explicit SpinField(const QString& name, QWidget* parent = nullptr);

    QLineEdit* edit() const { return m_edit; }
    void setRange(int low, int high);
    // Shows `value` and steps from it.
    void setValue(int value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(int delta);

    QLineEdit* m_edit;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_low = 0;
    int m_high = 0;
    int m_position = 0;
};

} // namespace kvx
