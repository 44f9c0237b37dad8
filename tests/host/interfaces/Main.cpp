// Widgets need a QApplication before the first test; the platform comes from the environment
// (offscreen, or the Xvfb display of the screenshot test).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Docuvane Expert");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
