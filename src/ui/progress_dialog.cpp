#include "progress_dialog.h"

#include <QProgressDialog>

namespace kvx {

ProgressDialog::ProgressDialog(const QString& title, QWidget* parent)
    : m_dialog(std::make_unique<QProgressDialog>(parent)) {
    m_dialog->setObjectName(QStringLiteral("procedureProgress"));
    m_dialog->setWindowTitle(title);
    m_dialog->setCancelButtonText(tr("Cancel"));
    m_dialog->setWindowModality(Qt::WindowModal);
    // Shown from the first step: a short run still tells the operator what happened.
    m_dialog->setMinimumDuration(0);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
}

ProgressDialog::~ProgressDialog() = default;

bool ProgressDialog::advance(int step, int total, const QString& group) {
    m_dialog->setMaximum(total);
    m_dialog->setValue(step - 1);
    m_dialog->setLabelText(tr("Step %1 of %2: %3").arg(step).arg(total).arg(group));
    // The transactions block the thread; a click on Cancel is only seen between them.
    QCoreApplication::processEvents();
    return !m_dialog->wasCanceled();
}

void ProgressDialog::finish() {
    m_dialog->close();
}

} // namespace kvx
