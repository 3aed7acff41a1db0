#include "dialog_prompter.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QUrl>

namespace kvx {

QString applicationCaption() {
    return QApplication::translate("kvx::Prompter", "Lumeno-KVX100 Manager");
}

namespace {

// A box shown while the wait cursor is up would be unusable; lift it for the box and put it back after.
class CursorPause {
public:
    CursorPause() {
        while (QApplication::overrideCursor()) {
            QApplication::restoreOverrideCursor();
            ++m_depth;
        }
    }
    ~CursorPause() {
        for (int i = 0; i < m_depth; ++i)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    CursorPause(const CursorPause&) = delete;
    CursorPause& operator=(const CursorPause&) = delete;

private:
    int m_depth = 0;
};

// Backup and restore both work on configuration files, and a restore mostly wants a file a backup
// wrote: one folder serves both dialogs.
const QLatin1String kFolderKey("fileDialogs/lastFolder");

QString lastFolder() {
    return QSettings().value(kFolderKey).toString();
}

// A cancelled dialog keeps the folder of the last file actually chosen.
QString rememberFolder(const QString& chosen) {
    if (!chosen.isEmpty())
        QSettings().setValue(kFolderKey, QFileInfo(chosen).absolutePath());
    return chosen;
}

} // namespace

QWidget* DialogPrompter::parentWindow() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

void DialogPrompter::message(const QString& text) {
    const CursorPause pause;
    QMessageBox box(QMessageBox::NoIcon, applicationCaption(), text, QMessageBox::Ok, parentWindow());
    box.setObjectName(QStringLiteral("messageBox"));
    box.exec();
}

bool DialogPrompter::askYesNo(const QString& caption, const QString& text, Icon icon) {
    const CursorPause pause;
    const auto boxIcon = icon == Icon::Question  ? QMessageBox::Question
                         : icon == Icon::Warning ? QMessageBox::Warning
                                                 : QMessageBox::NoIcon;
    QMessageBox box(boxIcon, caption, text, QMessageBox::Yes | QMessageBox::No, parentWindow());
    box.setObjectName(QStringLiteral("questionBox"));
    return box.exec() == QMessageBox::Yes;
}

QString DialogPrompter::openFileName(const QString& filter, const QString& defaultExtension) {
    const CursorPause pause;
    QFileDialog dialog(parentWindow(), QString(), lastFolder(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultExtension);
    return rememberFolder(dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString());
}

QString DialogPrompter::saveFileName(const QString& filter, const QString& defaultName,
                                     const QString& defaultExtension) {
    const CursorPause pause;
    QFileDialog dialog(parentWindow(), QString(), lastFolder(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultExtension);
    dialog.selectFile(defaultName);
    return rememberFolder(dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString());
}

bool DialogPrompter::openInViewer(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace kvx
