#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// Plays the operator in the mode settings windows and their table editors.
namespace kvx::test {

using Rows = std::vector<std::vector<std::string>>;

template <class W = QWidget> W* child(const QObject& parent, const char* name) {
    W* w = parent.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

inline void click(const QObject& parent, const char* name) {
    QTest::mouseClick(child<QAbstractButton>(parent, name), Qt::LeftButton);
}

inline void retype(const QObject& parent, const char* name, const QString& text) {
    QLineEdit* edit = child<QLineEdit>(parent, name);
    edit->clear();
    QTest::keyClicks(edit, text);
}

inline QString textOf(const QObject& parent, const char* name) {
    return child<QLineEdit>(parent, name)->text();
}

// Every column, the hidden index included.
inline Rows rowsOf(const QTreeWidget* list) {
    Rows rows;
    for (int r = 0; r < list->topLevelItemCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < list->columnCount(); ++c)
            row.push_back(list->topLevelItem(r)->text(c).toStdString());
        rows.push_back(row);
    }
    return rows;
}

// The middle of the row's visible part: a row wider than the list (a large desktop font widens the
// columns) has its centre out of sight, where a click selects nothing.
inline void clickRow(QTreeWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->topLevelItem(row)).intersected(list->viewport()->rect());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// Runs the dialog as its owner does, plays `act` inside, and closes the dialog if `act` left it open.
inline int runOpened(QDialog& dialog, const std::function<void()>& act = {}) {
    QTimer::singleShot(0, &dialog, [&dialog, act] {
        if (act)
            act();
        if (dialog.isVisible())
            dialog.reject();
    });
    return dialog.exec();
}

template <class T>
void playWhenShown(QWidget* owner, std::function<void(T&)> act, std::shared_ptr<bool> played, int triesLeft) {
    T* dialog = owner->findChild<T*>();
    if (!dialog || !dialog->isVisible()) {
        if (triesLeft > 0)
            QTimer::singleShot(5, owner, [=] { playWhenShown<T>(owner, act, played, triesLeft - 1); });
        return;
    }
    *played = true;
    act(*dialog);
    if (dialog->isVisible())
        dialog->reject();
}

// Plays `act` in the next dialog of type T that opens below `owner`, and cancels it if `act` left it
// open. The result turns true once `act` ran.
template <class T> std::shared_ptr<bool> whenOpened(QWidget& owner, std::function<void(T&)> act) {
    auto played = std::make_shared<bool>(false);
    QWidget* o = &owner;
    QTimer::singleShot(0, o, [=] { playWhenShown<T>(o, act, played, 400); });
    return played;
}

} // namespace kvx::test
