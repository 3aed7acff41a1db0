#include "private_settings.h"

#include <QApplication>
#include <gtest/gtest.h>

// Widget tests need an application object, on the offscreen platform. The test registration names it
// too, but Wine does not hand that variable on to a Windows test.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const kvx::test::PrivateSettings settings;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
