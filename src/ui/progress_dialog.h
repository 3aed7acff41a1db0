#pragma once

#include "core/procedure_progress.h"

#include <QCoreApplication>
#include <QPointer>
#include <memory>

class QProgressDialog;
class QWidget;

namespace kvx {

// A modal progress window with a Cancel button for the backup and the restore. It appears at the first
// step, once the procedure's file is chosen and the device is being talked to, never before.
class ProgressDialog : public ProcedureProgress {
    Q_DECLARE_TR_FUNCTIONS(ProgressDialog)
public:
    ProgressDialog(const QString& title, QWidget* parent);
    ~ProgressDialog() override;

    bool advance(int step, int total, const QString& group) override;
    void finish() override;
    // The operator stopped the procedure with the box's Cancel.
    bool cancelled() const { return m_cancelled; }

private:
    QString m_title;
    QPointer<QWidget> m_parent;
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};

} // namespace kvx
