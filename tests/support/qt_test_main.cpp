#include <gtest/gtest.h>

#include <QApplication>

// Runs the cases inside a QApplication, as the program runs its window: on the offscreen platform
// unless another is asked for.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
