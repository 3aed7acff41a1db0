#include "address_or_name_box.h"

#include "controls/masked_edit.h"
#include "ui/widget_setup.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QRadioButton>

namespace kvx {

AddressOrNameBox::AddressOrNameBox(const QString& title, const QString& addressCaption,
                                   const QString& nameCaption, Choice initial, QWidget* parent)
    : QGroupBox(title, parent)
    , m_choice(initial)
    , m_addressChoice(new QRadioButton(addressCaption, this))
    , m_nameChoice(new QRadioButton(nameCaption, this))
    , m_address(new MaskedEdit(QString(), this))
    , m_name(new QLineEdit(this)) {
    m_addressChoice->setObjectName(QStringLiteral("addressChoice"));
    m_nameChoice->setObjectName(QStringLiteral("nameChoice"));
    m_address->setObjectName(QStringLiteral("addressEdit"));
    m_address->setAccessibleName(addressCaption);
    m_address->setPromptChar(QLatin1Char('_'));
    m_address->setMask(bdAddressMask());
    m_name->setObjectName(QStringLiteral("nameEdit"));
    m_name->setAccessibleName(nameCaption);
    keepToOneLine(m_name);
    m_address->setEnabled(initial == Choice::Address);
    m_name->setEnabled(initial == Choice::Name);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_addressChoice, 0, 0);
    layout->addWidget(m_address, 0, 1);
    layout->addWidget(m_nameChoice, 1, 0);
    layout->addWidget(m_name, 1, 1);

    connect(m_addressChoice, &QRadioButton::clicked, this, [this] { choose(Choice::Address); });
    connect(m_nameChoice, &QRadioButton::clicked, this, [this] { choose(Choice::Name); });
}

bool AddressOrNameBox::addressComplete() const {
    return m_address->firstEmptyInputPosition() == kBdAddressLength;
}

QString AddressOrNameBox::addressText() const {
    return m_address->text();
}

QString AddressOrNameBox::name() const {
    return m_name->text();
}

void AddressOrNameBox::choose(Choice choice) {
    m_choice = choice;
    m_address->setEnabled(choice == Choice::Address);
    m_name->setEnabled(choice == Choice::Name);
}

} // namespace kvx
