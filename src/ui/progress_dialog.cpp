#include "progress_dialog.h"

#include <QProgressDialog>

namespace kvx {

ProgressDialog::ProgressDialog(const QString& title, QWidget* parent)
    : m_title(title)
    , m_parent(parent) {}

ProgressDialog::~ProgressDialog() = default;

bool ProgressDialog::advance(int step, int total, const QString& group) {
    // Made here, not with this object: a QProgressDialog shows itself on a timer of its own, which
    // would put it over the file dialog that comes first and take that dialog's input.
    if (!m_dialog) {
        m_dialog = std::make_unique<QProgressDialog>(m_parent.data());
        m_dialog->setObjectName(QStringLiteral("procedureProgress"));
        m_dialog->setWindowTitle(m_title);
        m_dialog->setCancelButtonText(tr("Cancel"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
        m_dialog->setMinimum(0);
        m_dialog->setMaximum(total);
        m_dialog->setValue(0);
        // Shown from the first step: a short run still tells the operator what happened.
        m_dialog->show();
    }
    m_dialog->setMaximum(total);
    m_dialog->setValue(step - 1);
    m_dialog->setLabelText(tr("Step %1 of %2: %3").arg(step).arg(total).arg(group));
    // The transactions block the thread; a click on Cancel is only seen between them.
    QCoreApplication::processEvents();
    m_cancelled = m_cancelled || m_dialog->wasCanceled();
    return !m_cancelled;
}

void ProgressDialog::finish() {
    if (m_dialog)
        m_dialog->close();
}

} // namespace kvx
