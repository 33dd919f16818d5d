#include <QApplication>

#include <gtest/gtest.h>

// GUI test programs: one QApplication for every test, created before the first one runs.
int main(int argc, char* argv[])
{
    // Headless unless a caller asks for a display: ctest lists the tests without our environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef FILEMEND_DEFAULT_SHOT_DIR
    if (qEnvironmentVariableIsEmpty("FILEMEND_SHOT_DIR"))
        qputenv("FILEMEND_SHOT_DIR", FILEMEND_DEFAULT_SHOT_DIR);
#endif
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
