#include "serial_port_window.h"

#include "core/device_session.h"
#include "core/device_text.h"
#include "core/port_queries.h"
#include "core/prompter.h"
#include "ui/widget_setup.h"
#include "ui/window_load.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvx {
namespace {

QVariant wireCharacter(char c) {
    return QVariant(static_cast<int>(static_cast<unsigned char>(c)));
}

// The list entry that carries `value`; a value the device reported outside the list is shown as an entry
// of its own, so that OK gives the device back what it had.
void showEntry(QComboBox* list, const QVariant& value, const QString& unknownText) {
    int index = list->findData(value);
    if (index < 0) {
        list->addItem(unknownText, value);
        index = list->count() - 1;
    }
    list->setCurrentIndex(index);
}

QString characterText(char c) {
    return QString(QChar::fromLatin1(c));
}

} // namespace

SerialPortWindow::SerialPortWindow(DeviceSession& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_baud(new QComboBox(this))
    , m_dataBits(new QComboBox(this))
    , m_parity(new QComboBox(this))
    , m_stopBits(new QComboBox(this))
    , m_flow(new QComboBox(this)) {
    setObjectName(QStringLiteral("serialPortWindow"));
    setWindowTitle(tr("Serial Port Setup"));
    setModal(true);

    for (const char* baud : {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400"})
        m_baud->addItem(QString::fromLatin1(baud), QByteArray(baud));
    for (char bits : {'5', '6', '7', '8'})
        m_dataBits->addItem(tr("%1 bit").arg(characterText(bits)), wireCharacter(bits));
    m_parity->addItem(tr("None"), wireCharacter('N'));
    m_parity->addItem(tr("Odd"), wireCharacter('O'));
    m_parity->addItem(tr("Even"), wireCharacter('E'));
    for (char bits : {'1', '2'})
        m_stopBits->addItem(tr("%1 bit").arg(characterText(bits)), wireCharacter(bits));
    m_flow->addItem(tr("None"), static_cast<int>(FlowControl::None));
    m_flow->addItem(tr("Hardware"), static_cast<int>(FlowControl::Hardware));
    m_flow->addItem(tr("Xon/Xoff"), static_cast<int>(FlowControl::XonXoff));

    auto* form = new QFormLayout;
    const std::pair<QComboBox*, QString> rows[] = {
        {m_baud, tr("Baud Rate:")},   {m_dataBits, tr("Data:")},     {m_parity, tr("Parity:")},
        {m_stopBits, tr("Stopbit:")}, {m_flow, tr("Flow Control:")},
    };
    const char* const names[] = {"baudCombo", "dataBitsCombo", "parityCombo", "stopBitsCombo", "flowCombo"};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        auto [list, text] = rows[i];
        list->setObjectName(QLatin1String(names[i]));
        form->addRow(labelFor(text, list, this), list);
    }
    showLine(SerialLine{});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    QPushButton* okButton = addActionRow(this, layout, tr("OK"), QStringLiteral("okButton"));
    connect(okButton, &QPushButton::clicked, this, &SerialPortWindow::ok);
    load();
}

void SerialPortWindow::load() {
    // OK sends the line shown.
    WindowLoad load(m_session, m_prompter, &m_lineRead);
    std::optional<SerialLine> line;
    if (!load.run(kSerialLineQuery, ReplyForm::Value, [&line](std::string_view reply) {
            line = serialLineFrom(reply);
            return line.has_value();
        }))
        return;
    load.show([this, line = *line] { showLine(line); });
    load.finish();
}

void SerialPortWindow::showLine(const SerialLine& line) {
    // The rate goes back as the device wrote it.
    if (line.baud.empty())
        m_baud->setCurrentIndex(-1);
    else
        showEntry(m_baud, QByteArray(line.baud.data(), qsizetype(line.baud.size())),
                  deviceTextShown(line.baud));
    showEntry(m_dataBits, wireCharacter(line.dataBits), tr("%1 bit").arg(characterText(line.dataBits)));
    showEntry(m_parity, wireCharacter(line.parity), characterText(line.parity));
    showEntry(m_stopBits, wireCharacter(line.stopBits), characterText(line.stopBits));
    m_flow->setCurrentIndex(m_flow->findData(static_cast<int>(line.flow)));
}

SerialLine SerialPortWindow::lineShown() const {
    const auto character = [](const QComboBox* list) {
        return static_cast<char>(list->currentData().toInt());
    };
    SerialLine line;
    line.baud = m_baud->currentData().toByteArray().toStdString();
    line.dataBits = character(m_dataBits);
    line.parity = character(m_parity);
    line.stopBits = character(m_stopBits);
    line.flow = static_cast<FlowControl>(m_flow->currentData().toInt());
    return line;
}

void SerialPortWindow::ok() {
    const SerialLine line = lineShown();
    // A rate the device did not report is left to the operator; none is made up for it.
    if (line.baud.empty()) {
        m_prompter.message(tr("Choose the Baud Rate."));
        return;
    }
    if (!m_lineRead.allowsSending(m_prompter))
        return;
    // The window closes whatever the device answered; a failure only says so.
    runQuery(m_session, m_prompter, kSerialLineSet, serialSetCommand(line));
    accept();
}

} // namespace kvx
