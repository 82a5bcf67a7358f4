// Test main for window-free units: a QGuiApplication (offscreen) so fonts,
// images and the event loop are available.
#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
