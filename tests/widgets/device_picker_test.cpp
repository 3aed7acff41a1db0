#include "pages/device_picker.h"
#include "scripted_session.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace kvx;
using namespace kvx::test;
using Addresses = std::vector<std::string>;

namespace {

const char* const kTwoConnections = "1|dev0|1|00:1A:2B:3C:4D:5E|Phone|10|20|230|0\r\n"
                                    "2|dev1|2|11:22:33:44:55:66|Meter|1|2|210|0\r\n"
                                    "+OK\r\n";

QTreeWidget* list(const DevicePicker& picker) {
    return picker.findChild<QTreeWidget*>(QStringLiteral("addressList"));
}

void click(const DevicePicker& picker, const char* name) {
    QTest::mouseClick(picker.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
}

} // namespace

TEST(DevicePicker, AddressesOfTheConnectionLines) {
    struct Case {
        const char* reply;
        Addresses addresses;
    };
    const Case cases[] = {
        {kTwoConnections, {"00:1A:2B:3C:4D:5E", "11:22:33:44:55:66"}},
        {"+OK\r\n", {}},
        {"1|dev0|1\r\n+OK\r\n", {""}},
        {"1|dev0|1|A1\r\n+OK\r\n", {""}},
        {"1|dev0|1| A1 |\r\n", {" A1 "}},
        {"1|d|1|A1|x\r\n2|d|2|B2|y", {"A1"}},
        {"1|d|1|A1|x\r\n+OK\r\n3|d|3|C3|z\r\n", {"A1"}},
        {"1|d|1|A1|x\r\n-ERR\r\n", {"A1"}},
        {"-ERR\r\n", {}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(connectedAddresses(c.reply), c.addresses) << c.reply;
}

TEST(DevicePicker, FillsOnOpenAndOnRefresh) {
    ScriptedSession session;
    session.expect("List\r\n", 10, kTwoConnections);
    DevicePicker picker(session);
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("SD List"));
    ASSERT_EQ(list(picker)->topLevelItemCount(), 2);
    EXPECT_EQ(list(picker)->topLevelItem(1)->text(0), QStringLiteral("11:22:33:44:55:66"));
    session.expect("List\r\n", 10, "");
    click(picker, "refreshButton");
    EXPECT_EQ(list(picker)->topLevelItemCount(), 0);
    EXPECT_TRUE(session.done());
}

TEST(DevicePicker, ApplyReturnsTheSelectedRowAndTheCloseBoxCancels) {
    struct Case {
        const char* name;
        int row; // -1: none selected
        bool close;
        int result;
        const char* address;
    };
    const Case cases[] = {
        {"second row", 1, false, QDialog::Accepted, "11:22:33:44:55:66"},
        {"no row", -1, false, QDialog::Accepted, ""},
        {"close box", 1, true, QDialog::Rejected, ""},
    };
    for (const Case& c : cases) {
        ScriptedSession session;
        session.expect("List\r\n", 10, kTwoConnections);
        DevicePicker picker(session);
        bool acted = false;
        QTimer::singleShot(0, &picker, [&] {
            acted = true;
            QTreeWidget* addresses = list(picker);
            if (c.row >= 0) {
                const QRect rect = addresses->visualItemRect(addresses->topLevelItem(c.row))
                                       .intersected(addresses->viewport()->rect());
                QTest::mouseClick(addresses->viewport(), Qt::LeftButton, {}, rect.center());
            }
            if (c.close)
                picker.close();
            else
                click(picker, "applyButton");
        });
        EXPECT_EQ(picker.exec(), c.result) << c.name;
        EXPECT_TRUE(acted) << c.name;
        EXPECT_EQ(picker.chosenAddress().toStdString(), c.address) << c.name;
    }
}
