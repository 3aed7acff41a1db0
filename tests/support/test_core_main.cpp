#include <QCoreApplication>
#include <gtest/gtest.h>

// The core's tests run without any GUI: an application object for translations and timers only.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
