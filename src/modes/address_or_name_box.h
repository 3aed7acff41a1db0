#pragma once

#include <QGroupBox>

class QLineEdit;
class QRadioButton;

namespace kvx {

class MaskedEdit;

// A Bluetooth device given either by its address, typed into a masked edit of six pairs, or by its
// name; the radio buttons enable the edit of the choice and disable the other.
class AddressOrNameBox : public QGroupBox {
    Q_OBJECT
public:
    enum class Choice { None, Address, Name };

    // With `initial` Address the address edit starts enabled although neither button shows as chosen.
    AddressOrNameBox(const QString& title, const QString& addressCaption, const QString& nameCaption,
                     Choice initial, QWidget* parent = nullptr);

    Choice choice() const { return m_choice; }
    // No input position still shows the prompt.
    bool addressComplete() const;
    // As shown, separators included: the form that is compared and sent.
    QString addressText() const;
    QString name() const;

private:
    void choose(Choice choice);

    Choice m_choice;
    QRadioButton* m_addressChoice;
    QRadioButton* m_nameChoice;
    MaskedEdit* m_address;
    QLineEdit* m_name;
};

} // namespace kvx
