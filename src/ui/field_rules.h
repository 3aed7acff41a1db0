#pragma once

#include <QString>
#include <initializer_list>

class QLineEdit;

namespace kvx {

class Prompter;

// A field whose text goes into a command line as a number, and the range in which the device takes
// it. Letters, an empty field or a number beyond the range would be misread by the device (or by the
// window's own next reading of it), so they are refused before anything is sent.
struct NumberField {
    const QLineEdit* field;
    QString label; // as the operator reads it beside the field
    long long low;
    long long high;
};

// Empty when `text` is a whole number from `low` to `high`, in decimal digits without a leading zero;
// otherwise the message that names `label` and the range.
QString numberProblem(const QString& label, const QString& text, long long low, long long high);

// True when every field holds a number within its range; otherwise the message for the first one that
// does not is shown.
bool numbersFit(Prompter& prompter, std::initializer_list<NumberField> fields);

} // namespace kvx
