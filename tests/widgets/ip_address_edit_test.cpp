#include "controls/ip_address_edit.h"
#include "wait_for.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace kvx;

namespace {

// A shown, active window so that focus moves between the fields as it does for the operator.
struct IpWindow {
    QWidget window;
    IpAddressEdit* edit = new IpAddressEdit(&window);

    IpWindow() {
        window.show();
        window.activateWindow();
    }
    bool ready() {
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        edit->setFocus();
        return QTest::qWaitFor([this] { return field(1)->hasFocus(); });
    }
    QLineEdit* field(int number) const {
        return edit->findChild<QLineEdit*>(QStringLiteral("octet%1").arg(number));
    }
    // Keys go wherever the focus is at the moment, as typed keys do.
    void type(const QString& keys) const {
        for (const QChar c : keys)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
    int focusedField() const {
        for (int number = 1; number <= IpAddressEdit::kOctetCount; ++number) {
            if (field(number)->hasFocus())
                return number;
        }
        return 0;
    }
};

using Octets = IpAddressEdit::Octets;

} // namespace

TEST(IpAddressEdit, TypedAddressFillsTheFourFields) {
    struct Case {
        const char* keys;
        Octets octets;
        int filled;
        const char* text;
        int focused; // the field that has the focus afterwards
    };
    const Case cases[] = {
        {"192.168.1.20", {192, 168, 1, 20}, 4, "192.168.1.20", 4},
        {"255255255255", {255, 255, 255, 255}, 4, "255.255.255.255", 4}, // three digits move on
        {"10.0", {10, 0, std::nullopt, std::nullopt}, 2, "", 2},
        {"007.1.2.3", {7, 1, 2, 3}, 4, "7.1.2.3", 4},
        {"..1", {1, std::nullopt, std::nullopt, std::nullopt}, 1, "", 1}, // "." in an empty field stays
        {"256", {25, std::nullopt, std::nullopt, std::nullopt}, 1, "", 1},
        {"1.300", {1, 30, std::nullopt, std::nullopt}, 2, "", 2},
        {"1.2.3.4.5", {1, 2, 3, 45}, 4, "1.2.3.45", 4}, // no fifth field to go to
        {"1a.b2", {1, 2, std::nullopt, std::nullopt}, 2, "", 2},
    };
    for (const Case& c : cases) {
        IpWindow w;
        ASSERT_TRUE(w.ready());
        w.type(QString::fromLatin1(c.keys));
        EXPECT_EQ(w.edit->octets(), c.octets) << c.keys;
        EXPECT_EQ(w.edit->filledCount(), c.filled) << c.keys;
        EXPECT_EQ(w.edit->text(), QString::fromLatin1(c.text)) << c.keys;
        EXPECT_EQ(w.focusedField(), c.focused) << c.keys;
    }
}

TEST(IpAddressEdit, BackspaceAndArrowsCrossFieldEnds) {
    IpWindow w;
    ASSERT_TRUE(w.ready());
    w.type(QStringLiteral("12.3"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    EXPECT_EQ(w.focusedField(), 2);
    EXPECT_TRUE(w.field(2)->text().isEmpty());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    EXPECT_EQ(w.focusedField(), 1) << "Backspace at the start goes back";
    EXPECT_EQ(w.field(1)->cursorPosition(), 2);
    EXPECT_EQ(w.field(1)->text(), QStringLiteral("12")) << "without deleting anything yet";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    EXPECT_EQ(w.field(1)->text(), QStringLiteral("1"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(w.focusedField(), 2);
    EXPECT_EQ(w.field(2)->cursorPosition(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_EQ(w.focusedField(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    EXPECT_EQ(w.focusedField(), 1) << "nothing before the first field";
}

TEST(IpAddressEdit, OctetsSetClearedAndReported) {
    IpAddressEdit edit;
    QSignalSpy changes(&edit, &IpAddressEdit::changed);
    EXPECT_EQ(edit.filledCount(), 0);
    EXPECT_EQ(edit.text(), QString());

    EXPECT_TRUE(edit.setOctets({10, 0, 0, 254}));
    EXPECT_EQ(edit.text(), QStringLiteral("10.0.0.254"));
    EXPECT_EQ(edit.filledCount(), 4);
    EXPECT_GT(changes.count(), 0);

    EXPECT_FALSE(edit.setOctets({1, 256, -1, 3}));
    EXPECT_EQ(edit.octets(), (Octets{1, std::nullopt, std::nullopt, 3}));
    EXPECT_EQ(edit.filledCount(), 2);
    EXPECT_TRUE(edit.setOctets({std::nullopt, 2, std::nullopt, std::nullopt}));
    EXPECT_EQ(edit.filledCount(), 1);

    changes.clear();
    edit.clear();
    EXPECT_EQ(edit.filledCount(), 0);
    EXPECT_EQ(changes.count(), 1);
}

TEST(IpAddressEdit, FieldsAreNamedForScreenReaders) {
    IpAddressEdit edit;
    for (int number = 1; number <= IpAddressEdit::kOctetCount; ++number) {
        const auto* field = edit.findChild<QLineEdit*>(QStringLiteral("octet%1").arg(number));
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->accessibleName(), QStringLiteral("IP Address %1").arg(number));
    }
}
