// What every report list shares, as a person sees it.
#include "ui/widget_setup.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace kvx;

namespace {

// How far apart two colours are, as the eye roughly weighs them.
int distance(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) * 3 + std::abs(a.green() - b.green()) * 6 +
           std::abs(a.blue() - b.blue());
}

} // namespace

// The selected row takes the palette's highlight, focused or not, in a light palette and a dark one: the
// text on it stays readable.
TEST(ReportList, TheSelectedRowIsReadableWithAndWithoutFocus) {
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(40, 90, 160));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    const QPalette light = QApplication::palette();
    for (const QPalette& palette : {light, dark}) {
        // The desktop's palette, as a dark theme sets it.
        QApplication::setPalette(palette);
        for (const bool focused : {true, false}) {
            QTreeWidget list;
            setUpReportList(&list);
            list.setColumnCount(1);
            list.setColumnWidth(0, 200);
            auto* item = new QTreeWidgetItem(&list, {QStringLiteral("00:1B:DC:0F:A1:01")});
            new QTreeWidgetItem(&list, {QStringLiteral("00:1B:DC:0F:A1:02")});
            list.resize(240, 120);
            list.show();
            QApplication::setActiveWindow(focused ? &list : nullptr);
            if (focused)
                list.setFocus();
            item->setSelected(true);
            const QRect row = list.visualItemRect(item).intersected(list.viewport()->rect());
            const QImage image = list.viewport()->grab().toImage();
            // Right of the text, inside the row and its grid lines.
            const QColor background = image.pixelColor(row.right() - 6, row.center().y());
            EXPECT_LT(distance(background, palette.color(QPalette::Active, QPalette::Highlight)), 60)
                << "focused " << focused << " got " << background.name().toStdString();
        }
    }
    QApplication::setPalette(light);
}

// A larger desktop font widens the columns chosen in pixels, and a whole Bluetooth address always fits
// in the list's own face.
TEST(ReportList, ColumnsGrowWithTheFontAndShowWholeAddresses) {
    const QString address = QStringLiteral("00:1B:DC:0F:A1:01");
    const QFont desktop = QApplication::font();
    for (const int points : {9, 18}) {
        QFont font = desktop;
        font.setPointSize(points);
        QApplication::setFont(font);
        QTreeWidget list;
        setUpReportList(&list);
        QFont fixed = font;
        fixed.setPointSize(points + 3);
        list.setFont(fixed);
        list.setColumnCount(2);
        list.setColumnWidth(0, 60); // narrower than an address
        list.setColumnWidth(1, 100);
        list.show();
        new QTreeWidgetItem(&list, {address, QStringLiteral("x")});
        QApplication::processEvents();
        EXPECT_GE(list.columnWidth(0), list.fontMetrics().horizontalAdvance(address)) << points;
        const double factor = std::max(1.0, QFontMetrics(font).averageCharWidth() / 6.0);
        EXPECT_EQ(list.columnWidth(1), int(100 * factor + 0.5)) << points;
    }
    QApplication::setFont(desktop);
}

// A column is read out by its caption's words, without the blanks that line it up on screen.
TEST(AccessibleNames, AColumnIsNamedWithoutItsSpacingBlanks) {
    QTreeWidget list;
    list.setHeaderLabels({QStringLiteral("          BDADDR/Name"), QStringLiteral("Port ")});
    setUpReportList(&list);
    list.show();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&list);
    ASSERT_EQ(table->tableInterface()->columnCount(), 2);
    EXPECT_EQ(list.headerItem()->text(0), QStringLiteral("          BDADDR/Name"));
    for (const auto& [column, name] : {std::pair{0, "BDADDR/Name"}, std::pair{1, "Port"}}) {
        EXPECT_EQ(table->child(column)->role(), QAccessible::ColumnHeader);
        EXPECT_EQ(table->child(column)->text(QAccessible::Name), QLatin1String(name));
    }
}

// A drop-down list is named by its label, not by the item it shows, and its item is its value.
TEST(AccessibleNames, ADropDownListIsNamedByItsLabel) {
    QWidget window;
    auto* security = new QComboBox(&window);
    security->addItems({QStringLiteral("low"), QStringLiteral("medium")});
    labelFor(QStringLiteral("Security"), security, &window);
    auto* unnamed = new QComboBox(&window);
    unnamed->addItem(QStringLiteral("General"));
    window.show();
    QAccessibleInterface* named = QAccessible::queryAccessibleInterface(security);
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(named->text(QAccessible::Name), QStringLiteral("Security"));
    EXPECT_EQ(named->text(QAccessible::Value), QStringLiteral("low"));
    EXPECT_EQ(named->role(), QAccessible::ComboBox);
    // A list without a label keeps what the platform gives it.
    EXPECT_NE(QAccessible::queryAccessibleInterface(unnamed)->text(QAccessible::Name),
              QStringLiteral("Security"));
}
