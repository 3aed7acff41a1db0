#pragma once

#include "core/prompter.h"

class QWidget;

namespace kvx {

// The real dialogs, parented to whatever window is active when they are asked for. The file dialogs
// open in the folder of the file last chosen in either of them, kept in the user's settings.
class DialogPrompter : public Prompter {
public:
    void message(const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text, Icon icon) override;
    QString openFileName(const QString& filter, const QString& defaultExtension) override;
    QString saveFileName(const QString& filter, const QString& defaultName,
                         const QString& defaultExtension) override;
    bool openInViewer(const QString& path) override;

private:
    static QWidget* parentWindow();
};

// The caption of the application's message boxes.
QString applicationCaption();

} // namespace kvx
