#include "ui/dialog_prompter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace kvx;

namespace {

const QString kFilter = QStringLiteral("kcf Files(*.kcf)");

struct Answer {
    QString openedIn;
    QString chosen;
};

// Runs `ask` and plays the operator in the file dialog it opens: notes the folder it opened in, goes
// to `visited` if given, then picks `file`, or cancels when `file` is empty. A fresh prompter each time,
// as after a restart.
Answer answerFileDialog(const std::function<QString(DialogPrompter&)>& ask, const QString& file,
                        const QString& visited = {}) {
    Answer answer;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        answer.openedIn = dialog->directory().absolutePath();
        if (!visited.isEmpty())
            dialog->setDirectory(visited);
        if (file.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(file);
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog hides it, but checks the choice in it
    });
    poll.start(10);
    DialogPrompter prompter;
    answer.chosen = ask(prompter);
    return answer;
}

QString save(DialogPrompter& p) {
    return p.saveFileName(kFilter, QStringLiteral("*.kcf"), QStringLiteral("kcf"));
}
QString openFile(DialogPrompter& p) {
    return p.openFileName(kFilter, QString());
}

} // namespace

TEST(DialogPrompter, FileDialogsOpenInTheFolderOfTheLastFileChosen) {
    QTemporaryDir folder;
    const QString backup = folder.filePath(QStringLiteral("saved.kcf"));
    ASSERT_EQ(answerFileDialog(save, backup).chosen, backup);
    QFile(backup).open(QIODevice::WriteOnly);

    QTemporaryDir elsewhere;
    EXPECT_EQ(answerFileDialog(openFile, QString(), elsewhere.path()).openedIn.toStdString(),
              folder.path().toStdString())
        << "a restore starts where the backup went";
    EXPECT_EQ(answerFileDialog(save, QString()).openedIn.toStdString(), folder.path().toStdString())
        << "a folder only looked into in a cancelled dialog is not taken";
}
