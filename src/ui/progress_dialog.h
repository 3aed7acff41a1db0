#pragma once

#include "core/procedure_progress.h"

#include <QCoreApplication>
#include <memory>

class QProgressDialog;
class QWidget;

namespace kvx {

// A modal progress window with a Cancel button for the backup and the restore.
class ProgressDialog : public ProcedureProgress {
    Q_DECLARE_TR_FUNCTIONS(ProgressDialog)
public:
    ProgressDialog(const QString& title, QWidget* parent);
    ~ProgressDialog() override;

    bool advance(int step, int total, const QString& group) override;
    void finish() override;

private:
    std::unique_ptr<QProgressDialog> m_dialog;
};

} // namespace kvx
