#include "ui/progress_dialog.h"

#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

using namespace kvx;

TEST(ProgressDialog, ShowsTheStepAndStopsOnceCancelIsClicked) {
    QWidget owner;
    owner.show();
    ProgressDialog progress(QStringLiteral("Back up"), &owner);
    // Before the first step the procedure's file dialog may be open, for as long as the operator likes:
    // no box exists that could show itself over it.
    EXPECT_EQ(owner.findChild<QProgressDialog*>(), nullptr);

    EXPECT_TRUE(progress.advance(1, 19, QStringLiteral("MODE")));
    auto* dialog = owner.findChild<QProgressDialog*>(QStringLiteral("procedureProgress"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Back up"));
    EXPECT_EQ(dialog->findChild<QLabel*>()->text(), QStringLiteral("Step 1 of 19: MODE"));
    EXPECT_TRUE(progress.advance(5, 19, QStringLiteral("BIND")));
    EXPECT_EQ(dialog->value(), 4);
    EXPECT_FALSE(progress.cancelled());

    dialog->findChild<QPushButton*>()->click();
    EXPECT_FALSE(progress.advance(6, 19, QStringLiteral("SERV")));
    EXPECT_TRUE(progress.cancelled());
    progress.finish();
    EXPECT_FALSE(dialog->isVisible());
}
