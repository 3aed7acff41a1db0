#include "controls/masked_edit.h"
#include "wait_for.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace kvx;

namespace {

const QString kAddressMask = QStringLiteral("&&:&&:&&:&&:&&:&&");
const QString kEmptyAddress = QStringLiteral("__:__:__:__:__:__");
const QString kFullAddress = QStringLiteral("00:1A:2B:3C:4D:5E");

// Set up as the address windows do: empty mask, then the prompt, then the mask.
std::unique_ptr<MaskedEdit> addressEdit(QWidget* parent = nullptr) {
    auto edit = std::make_unique<MaskedEdit>(QString(), parent);
    edit->setPromptChar(u'_');
    edit->setMask(kAddressMask);
    return edit;
}

// A shown, active window holding a plain line edit and the masked edit, for focus and mouse tests.
struct FocusWindow {
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    MaskedEdit* edit = new MaskedEdit(QString(), &window);

    explicit FocusWindow(const QString& mask) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(edit);
        edit->setPromptChar(u'_');
        edit->setMask(mask);
        window.show();
        window.activateWindow();
    }
    bool ready() { return QTest::qWaitForWindowActive(&window); }
};

// Triggers the popup menu's action with this text once the menu is open, from outside its event loop.
void whenPopupTrigger(const QString& text) {
    QTimer::singleShot(0, [text] {
        KVX_ASSERT_SOON(qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        for (QAction* action : menu->actions()) {
            if (action->text() == text)
                action->trigger();
        }
        menu->close();
    });
}

// QTest's key clicks carry Latin-1 text only.
void typeCharacters(QWidget& widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&widget, &press);
    }
}

void openContextMenu(MaskedEdit& edit) {
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&edit, &event);
}

} // namespace

TEST(MaskedEdit, TypingFillsTheAddress) {
    const auto edit = addressEdit();
    EXPECT_EQ(edit->text(), kEmptyAddress);
    EXPECT_EQ(edit->cursorPosition(), 0);
    EXPECT_TRUE(edit->isEveryInputEmpty());
    QSignalSpy changes(edit.get(), &MaskedEdit::editChanged);

    QTest::keyClicks(edit.get(), QStringLiteral("00"));
    EXPECT_EQ(edit->cursorPosition(), 3) << "the second of a pair moves over the separator";
    QTest::keyClicks(edit.get(), QStringLiteral("1A2B3C4D5E"));
    EXPECT_EQ(edit->text(), kFullAddress);
    EXPECT_EQ(edit->inputData(), QStringLiteral("001A2B3C4D5E"));
    EXPECT_EQ(edit->firstEmptyInputPosition(), 17);
    EXPECT_EQ(changes.count(), 12);

    QTest::keyClicks(edit.get(), QStringLiteral("X"));
    EXPECT_EQ(edit->text(), kFullAddress) << "nothing past the last position";
    EXPECT_EQ(changes.count(), 12);
}

TEST(MaskedEdit, CharacterClassesAreQts) {
    MaskedEdit edit(QStringLiteral(">>#"));
    typeCharacters(edit, QStringLiteral("\u00e9a\u0663"));
    EXPECT_EQ(edit.text(), QStringLiteral("\u00c9A\u0663")) << "an accented letter and an Arabic-Indic digit";
}

TEST(MaskedEdit, BackspaceAndDelete) {
    const auto edit = addressEdit();
    edit->setText(kFullAddress);
    QSignalSpy changes(edit.get(), &MaskedEdit::editChanged);

    edit->setCursorPosition(3);
    QTest::keyClick(edit.get(), Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("01:A2:B3:C4:D5:E_")) << "the character before the separator goes";
    EXPECT_EQ(edit->cursorPosition(), 1);

    edit->setText(kFullAddress);
    edit->setCursorPosition(17);
    QTest::keyClick(edit.get(), Qt::Key_Delete);
    EXPECT_EQ(edit->text(), kFullAddress);
    EXPECT_EQ(edit->cursorPosition(), 17);
    EXPECT_EQ(changes.count(), 1) << "only the backspace changed anything";

    edit->setCursorPosition(14);
    QTest::keyClick(edit.get(), Qt::Key_Delete);
    EXPECT_EQ(edit->text(), QStringLiteral("00:1A:2B:3C:4D:E_"));
    EXPECT_EQ(edit->cursorPosition(), 15);
}

TEST(MaskedEdit, ArrowsStepOverLiterals) {
    struct Case {
        const char* name;
        int from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int to;
    };
    // "(" 0, pairs at 1-2, 4-5, ..., 16-17, ")" 18.
    const Case cases[] = {
        {"Right before a separator", 2, Qt::Key_Right, {}, 4},
        {"Down as Right", 2, Qt::Key_Down, {}, 4},
        {"Right inside a pair", 1, Qt::Key_Right, {}, 2},
        {"Right onto the closing literal", 17, Qt::Key_Right, {}, 19},
        {"Left after a separator", 4, Qt::Key_Left, {}, 3},
        {"Up as Left", 5, Qt::Key_Up, {}, 4},
        {"Left onto the opening literal", 1, Qt::Key_Left, {}, 1},
        {"Shift+Right is not adjusted", 2, Qt::Key_Right, Qt::ShiftModifier, 3},
        {"Home", 5, Qt::Key_Home, {}, 1},
        {"End", 5, Qt::Key_End, {}, 19},
    };
    for (const Case& c : cases) {
        MaskedEdit edit(QStringLiteral("(&&:&&:&&:&&:&&:&&)"));
        edit.setCursorPosition(c.from);
        QTest::keyClick(&edit, c.key, c.modifiers);
        EXPECT_EQ(edit.cursorPosition(), c.to) << c.name;
    }
}

TEST(MaskedEdit, InsertKeyTogglesOverwriting) {
    const auto edit = addressEdit();
    edit->setText(kFullAddress);
    EXPECT_TRUE(edit->insertMode());
    edit->setCursorPosition(0);
    QTest::keyClicks(edit.get(), QStringLiteral("F"));
    EXPECT_EQ(edit->text(), QStringLiteral("F0:01:A2:B3:C4:D5"));

    QTest::keyClick(edit.get(), Qt::Key_Insert);
    EXPECT_FALSE(edit->insertMode());
    EXPECT_EQ(edit->text(), QStringLiteral("F0:01:A2:B3:C4:D5")) << "the key itself changes nothing";
    QTest::keyClicks(edit.get(), QStringLiteral("G"));
    EXPECT_EQ(edit->text(), QStringLiteral("FG:01:A2:B3:C4:D5"));
    EXPECT_EQ(edit->cursorPosition(), 3);

    QTest::keyClick(edit.get(), Qt::Key_Insert);
    EXPECT_TRUE(edit->insertMode());
}

TEST(MaskedEdit, PasteOffersTheClipToTheInputPositions) {
    struct Case {
        const char* clip;
        const char* text;
    };
    const Case cases[] = {
        {"001A2B3C4D5E", "00:1A:2B:3C:4D:5E"},
        {"00:1A:2B:3C:4D:5E", "00::1:A::2B::3:C:"}, // the separators are characters like any other
        {"1A2", "1A:2_:__:__:__:__"},
    };
    for (const Case& c : cases) {
        const auto edit = addressEdit();
        QGuiApplication::clipboard()->setText(QString::fromLatin1(c.clip));
        QTest::keyClick(edit.get(), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.text)) << c.clip;
    }
}

TEST(MaskedEdit, CutPutsTheSelectionOnTheClipboard) {
    const auto edit = addressEdit();
    edit->setText(kFullAddress);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    edit->setSelection(0, 5);
    QTest::keyClick(edit.get(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("2B:3C:4D:5E:__:__"));
    EXPECT_EQ(edit->cursorPosition(), 0);
    EXPECT_FALSE(edit->hasSelectedText());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("00:1A"));
}

TEST(MaskedEdit, ContextMenuGoesThroughThePattern) {
    const auto edit = addressEdit();
    edit->setText(kFullAddress);
    edit->setSelection(3, 2);
    whenPopupTrigger(QStringLiteral("Delete"));
    openContextMenu(*edit);
    EXPECT_EQ(edit->text(), QStringLiteral("00:2B:3C:4D:5E:__"));

    QGuiApplication::clipboard()->setText(QStringLiteral("FF"));
    edit->setCursorPosition(0);
    whenPopupTrigger(QStringLiteral("&Paste"));
    openContextMenu(*edit);
    EXPECT_EQ(edit->text(), QStringLiteral("FF:00:2B:3C:4D:5E"));
}

TEST(MaskedEdit, AssignedTextInEitherForm) {
    for (const QString& assigned : {QStringLiteral("001A2B3C4D5E"), kFullAddress}) {
        const auto edit = addressEdit();
        QSignalSpy updates(edit.get(), &MaskedEdit::editUpdated);
        QSignalSpy changes(edit.get(), &MaskedEdit::editChanged);
        edit->setText(assigned);
        EXPECT_EQ(edit->text(), kFullAddress) << assigned.toStdString();
        EXPECT_EQ(edit->cursorPosition(), 0);
        EXPECT_EQ(updates.count(), 1);
        EXPECT_EQ(changes.count(), 0) << "no change notice for text set from outside";

        QTest::keyClick(edit.get(), Qt::Key_Delete);
        EXPECT_EQ(changes.count(), 1) << "and it is back on afterwards";
        edit->clear();
        EXPECT_EQ(edit->text(), kEmptyAddress);
    }
}

TEST(MaskedEdit, SeparatorsComeFromTheLocale) {
    struct Case {
        QLocale locale;
        const char* shown; // for the mask ".:/"
    };
    const Case cases[] = {
        {QLocale::c(), ".:/"}, // the C date format "d MMM yyyy" has no separator
        {QLocale(QLocale::Finnish, QLocale::Finland), ",.."},
        {QLocale(QLocale::Korean, QLocale::SouthKorea), ".:."},
        {QLocale(QLocale::Swedish, QLocale::Sweden), ",:-"},
    };
    for (const Case& c : cases) {
        MaskedEdit edit(QStringLiteral(".:/,"));
        edit.setLocale(c.locale);
        EXPECT_EQ(edit.text(), QString::fromLatin1(c.shown) + c.locale.groupSeparator().front()) << c.shown;
    }

    // Taken at construction from the window the field sits in.
    QWidget parent;
    parent.setLocale(QLocale(QLocale::Finnish, QLocale::Finland));
    const auto edit = addressEdit(&parent);
    EXPECT_EQ(edit->text(), QStringLiteral("__.__.__.__.__.__"));
    edit->setText(QStringLiteral("00.1A.2B.3C.4D.5E"));
    EXPECT_EQ(edit->inputData(), QStringLiteral("001A2B3C4D5E"));
}

TEST(MaskedEdit, PlainWithoutMaskAndUntouchedWhileReadOnly) {
    MaskedEdit plain;
    QTest::keyClicks(&plain, QStringLiteral("a:b"));
    EXPECT_EQ(plain.text(), QStringLiteral("a:b"));
    EXPECT_EQ(plain.inputData(), QStringLiteral("a:b"));
    EXPECT_FALSE(plain.isEveryInputEmpty());
    plain.setText(QStringLiteral("xyz"));
    EXPECT_TRUE(plain.writeInputData(QStringLiteral("q")));
    EXPECT_EQ(plain.text(), QStringLiteral("xyz"));

    const auto edit = addressEdit();
    edit->setText(kFullAddress);
    edit->setReadOnly(true);
    edit->setCursorPosition(0);
    QTest::keyClicks(edit.get(), QStringLiteral("99"));
    QTest::keyClick(edit.get(), Qt::Key_Delete);
    EXPECT_EQ(edit->text(), kFullAddress);
}

TEST(MaskedEdit, TabEntersAtTheFirstInputPosition) {
    FocusWindow w(QStringLiteral("(&&:&&)"));
    ASSERT_TRUE(w.ready());
    w.edit->setText(QStringLiteral("12:34"));
    w.before->setFocus();
    QTest::keyClick(w.before, Qt::Key_Tab);
    KVX_ASSERT_SOON(w.edit->hasFocus());
    EXPECT_FALSE(w.edit->hasSelectedText());
    EXPECT_EQ(w.edit->cursorPosition(), 1);
}

TEST(MaskedEdit, ClickIntoAnEmptyFieldStartsAtTheFirstInputPosition) {
    FocusWindow w(QStringLiteral("(&&:&&)"));
    ASSERT_TRUE(w.ready());
    w.before->setFocus();
    const QPoint nearTheEnd(w.edit->width() - 4, w.edit->height() / 2);
    QTest::mouseClick(w.edit, Qt::LeftButton, {}, nearTheEnd);
    KVX_ASSERT_SOON(w.edit->hasFocus());
    EXPECT_EQ(w.edit->cursorPosition(), 1);

    // A field that holds something takes the caret where the click lands.
    w.edit->setText(QStringLiteral("1234"));
    w.before->setFocus();
    QTest::mouseClick(w.edit, Qt::LeftButton, {}, nearTheEnd);
    KVX_ASSERT_SOON(w.edit->hasFocus());
    EXPECT_EQ(w.edit->cursorPosition(), 7);
}
