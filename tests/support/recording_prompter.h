#pragma once

#include "core/prompter.h"

#include <QStringList>
#include <deque>

namespace kvx::test {

// Records every text the operator would have seen and answers from a script.
class RecordingPrompter : public Prompter {
public:
    void message(const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text, Icon icon) override;
    QString openFileName(const QString& filter, const QString& defaultExtension) override;
    QString saveFileName(const QString& filter, const QString& defaultName,
                         const QString& defaultExtension) override;
    bool openInViewer(const QString& path) override;

    QStringList messages;
    QStringList questions;
    QStringList viewed;
    std::deque<bool> yesNoAnswers;
    std::deque<QString> fileAnswers;
};

} // namespace kvx::test
