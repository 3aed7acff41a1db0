#include "recording_prompter.h"

#include <gtest/gtest.h>

namespace kvx::test {

void RecordingPrompter::message(const QString& text) {
    messages << text;
}

bool RecordingPrompter::askYesNo(const QString& caption, const QString& text, Icon) {
    questions << caption + QStringLiteral(": ") + text;
    if (yesNoAnswers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

QString RecordingPrompter::openFileName(const QString&, const QString&) {
    if (fileAnswers.empty())
        return {};
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QString RecordingPrompter::saveFileName(const QString& filter, const QString&, const QString& extension) {
    return openFileName(filter, extension);
}

bool RecordingPrompter::openInViewer(const QString& path) {
    viewed << path;
    return true;
}

} // namespace kvx::test
