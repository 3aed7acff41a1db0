#include "vertex_mode_window.h"

#include "core/device_session.h"
#include "core/prompter.h"
#include "core/vocabulary.h"
#include "ui/widget_setup.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvx {
namespace {

constexpr int kPortMaxLength = 4;
constexpr int kWait = 10;

} // namespace

VertexModeWindow::VertexModeWindow(DeviceSession& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_port(new QLineEdit(this))
    , m_maximum(new QLineEdit(this)) {
    setObjectName(QStringLiteral("vertexModeWindow"));
    setWindowTitle(tr("Vertex Mode"));
    setModal(true);

    m_port->setObjectName(QStringLiteral("portEdit"));
    m_port->setMaxLength(kPortMaxLength);
    m_maximum->setObjectName(QStringLiteral("maximumEdit"));
    auto* form = new QFormLayout;
    for (auto [field, text] :
         {std::pair{m_port, tr("Vertex Port")}, std::pair{m_maximum, tr("Max Number of Connections")}}) {
        keepToOneLine(field);
        form->addRow(labelFor(text, field, this), field);
    }

    auto* applyButton = new QPushButton(tr("Apply"), this);
    applyButton->setObjectName(QStringLiteral("applyButton"));
    auto* refreshButton = new QPushButton(tr("Refresh"), this);
    refreshButton->setObjectName(QStringLiteral("refreshButton"));
    refreshButton->setAutoDefault(false);
    auto* cancelButton = new QPushButton(tr("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(applyButton);
    buttons->addWidget(refreshButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(applyButton, &QPushButton::clicked, this, &VertexModeWindow::apply);
    connect(refreshButton, &QPushButton::clicked, this, &VertexModeWindow::refresh);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

int VertexModeWindow::exec() {
    load();
    return QDialog::exec();
}

void VertexModeWindow::load() {
    const std::string reply = m_session.transact("Vertex\r\n", kWait);
    if (reply.empty()) {
        m_prompter.message(tr("Get Vertex Mode is timeout. Check Lumeno-KVX and Try again."));
        m_session.postReconnect();
        return;
    }
    const std::string_view normalised = normalisedReply(reply);
    if (!startsWithOk(normalised)) {
        m_prompter.message(tr("Get Vertex is Failed. Try again."));
        return;
    }
    m_loaded = vertexValuesFrom(normalised);
    m_port->setText(QString::fromUtf8(m_loaded.port));
    m_maximum->setText(QString::fromUtf8(m_loaded.maximum));
}

void VertexModeWindow::apply() {
    const VertexValues typed{m_port->text().toStdString(), m_maximum->text().toStdString()};
    if (typed.port.empty()) {
        m_prompter.message(tr("Fill the Vertex Port."));
        return;
    }
    if (typed == m_loaded) {
        accept();
        return;
    }
    const std::string reply = m_session.transact(vertexSetCommand(typed), kWait);
    if (reply.empty()) {
        m_prompter.message(tr("Set Vertex Mode is timeout. Check Lumeno-KVX and Try again."));
        m_session.postReconnect();
        return;
    }
    if (!vertexSetConfirmed(normalisedReply(reply), typed)) {
        m_prompter.message(tr("Vertex Mode Setup Fail. Try again."));
        return;
    }
    accept();
}

void VertexModeWindow::refresh() {
    m_port->setText(QString::fromUtf8(m_loaded.port));
    m_maximum->setText(QStringLiteral("1"));
}

} // namespace kvx
