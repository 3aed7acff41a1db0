#include "field_rules.h"

#include "core/prompter.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace kvx {
namespace {

// More digits than any range here needs could overflow the conversion.
constexpr qsizetype kMostDigits = 12;

bool wholeNumberWithin(const QString& text, long long low, long long high) {
    if (text.isEmpty() || text.size() > kMostDigits)
        return false;
    for (const QChar c : text) {
        // Digits of other scripts are no digits to the device.
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    // Written plainly: the device may read a value by its width (the Vertex maximum is one character).
    if (text.size() > 1 && text.front() == QLatin1Char('0'))
        return false;
    const long long value = text.toLongLong();
    return value >= low && value <= high;
}

} // namespace

QString numberProblem(const QString& label, const QString& text, long long low, long long high) {
    if (wholeNumberWithin(text, low, high))
        return {};
    return QCoreApplication::translate("kvx::FieldRules", "%1 must be a whole number from %2 to %3.")
        .arg(label, QString::number(low), QString::number(high));
}

bool numbersFit(Prompter& prompter, std::initializer_list<NumberField> fields) {
    for (const NumberField& f : fields) {
        if (const QString problem = numberProblem(f.label, f.field->text(), f.low, f.high);
            !problem.isEmpty()) {
            prompter.message(problem);
            return false;
        }
    }
    return true;
}

} // namespace kvx
