#include "vertex_mode_window.h"

#include "core/device_session.h"
#include "core/port_queries.h"
#include "core/prompter.h"
#include "core/vocabulary.h"
#include "ui/device_field.h"
#include "ui/field_rules.h"
#include "ui/widget_setup.h"
#include "ui/window_load.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvx {
namespace {

constexpr int kPortMaxLength = 4;
// The device reports the port in 4 characters and the maximum in 1, so it takes no others.
constexpr int kLowestPort = 1000;
constexpr int kHighestPort = 9999;
constexpr int kMostConnections = 7;

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

    QPushButton* applyButton = namedButton(tr("Apply"), "applyButton", this);
    applyButton->setDefault(true);
    QPushButton* refreshButton = namedButton(tr("Refresh"), "refreshButton", this);
    QPushButton* cancelButton = namedButton(tr("Cancel"), "cancelButton", this);
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
    m_valuesRead.clearWhenHidden(*this);
}

int VertexModeWindow::exec() {
    load();
    return QDialog::exec();
}

void VertexModeWindow::load() {
    WindowLoad load(m_session, m_prompter, &m_valuesRead);
    const QueryOutcome reply = load.run(kVertexQuery);
    if (!reply)
        return;
    load.show([this, values = vertexValuesFrom(reply.normalised())] {
        m_loaded = values;
        showDeviceText(*m_port, m_loaded.port);
        showDeviceText(*m_maximum, m_loaded.maximum);
    });
    load.finish();
}

void VertexModeWindow::apply() {
    const VertexValues typed{deviceFieldBytes(*m_port), deviceFieldBytes(*m_maximum)};
    if (typed.port.empty()) {
        m_prompter.message(tr("Fill the Vertex Port."));
        return;
    }
    if (typed == m_loaded) {
        accept();
        return;
    }
    if (!m_valuesRead.allowsSending(m_prompter) ||
        !numbersFit(m_prompter, {{m_port, tr("Vertex Port"), kLowestPort, kHighestPort},
                                 {m_maximum, tr("Max Number of Connections"), 1, kMostConnections}}))
        return;
    if (runQuery(
            m_session, m_prompter, kVertexSet, vertexSetCommand(typed),
            [&typed](std::string_view reply) { return vertexSetConfirmed(normalisedReply(reply), typed); }))
        accept();
}

void VertexModeWindow::refresh() {
    showDeviceText(*m_port, m_loaded.port);
    m_maximum->setText(QStringLiteral("1"));
}

} // namespace kvx
