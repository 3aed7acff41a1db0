#include "private_settings.h"

#include <QApplication>
#include <gtest/gtest.h>

// Widget tests need an application object; the offscreen platform is set by the test registration.
int main(int argc, char** argv) {
    const kvx::test::PrivateSettings settings;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
