#pragma once

class QLabel;
class QLineEdit;
class QString;
class QWidget;
class QTreeWidget;

namespace kvx {

// The look every list of the product shares: a report view with single full-row selection, grid
// lines, the selection shown also without focus, no tree decoration and no sorting by header.
void setUpReportList(QTreeWidget* list);

// A field whose text goes into a command line: a pasted line break would end that line early and
// send the rest as a command of its own, so line breaks are refused.
void keepToOneLine(QLineEdit* edit);

// A label that names its field: the field takes the label's text as its accessible name, so screen
// readers and GUI drivers find it by what the operator reads.
QLabel* labelFor(const QString& text, QWidget* field, QWidget* parent);

} // namespace kvx
