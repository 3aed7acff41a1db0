#pragma once

class QBoxLayout;
class QDialog;
class QLabel;
class QPushButton;
class QLineEdit;
class QString;
class QWidget;
class QTreeWidget;

namespace kvx {

// The look every list of the product shares: a report view with single full-row selection, grid
// lines, the selection shown also without focus, no tree decoration and no sorting by header. Column
// widths set in pixels grow with the font in use, and no column cuts what it shows.
void setUpReportList(QTreeWidget* list);

// A field whose text goes into a command line: a pasted line break would end that line early and
// send the rest as a command of its own, so line breaks are refused.
void keepToOneLine(QLineEdit* edit);

// A label that names its field: the field takes the label's text as its accessible name, so screen
// readers and GUI drivers find it by what the operator reads. A drop-down list too: this platform's
// screen readers would otherwise name it by its current item ("low", "General"), the label being left
// to a relation many of them ignore; its item is its value.
QLabel* labelFor(const QString& text, QWidget* field, QWidget* parent);

// A button a test or a GUI driver can find by name. It never becomes a dialog's default, so Enter in a
// field presses nothing by accident.
QPushButton* namedButton(const QString& text, const char* name, QWidget* parent);

// Ends a small editing window's layout with its action button (the default for Enter) and "Cancel",
// which rejects the window. Returns the action button for the caller to connect.
QPushButton* addActionRow(QDialog* dialog, QBoxLayout* layout, const QString& actionText,
                          const QString& actionName);

} // namespace kvx
