#pragma once

#include <QString>

namespace kvx {

// Every message box, question, file dialog and "open in the viewer" goes through here, so that tests
// can read what the operator would have seen and answer for them.
class Prompter {
public:
    enum class Icon { None, Question, Warning };

    virtual ~Prompter() = default;
    // A modal box with the fixed text and an OK button.
    virtual void message(const QString& text) = 0;
    virtual bool askYesNo(const QString& caption, const QString& text, Icon icon) = 0;
    // Empty when the operator cancels.
    virtual QString openFileName(const QString& filter, const QString& defaultExtension) = 0;
    virtual QString saveFileName(const QString& filter, const QString& defaultName,
                                 const QString& defaultExtension) = 0;
    virtual bool openInViewer(const QString& path) = 0;
};

} // namespace kvx
