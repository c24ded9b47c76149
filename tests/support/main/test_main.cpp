// Test entry point: a Qt application object (widgets where the test program links them),
// German regional settings, and GoogleTest.
#include <QLocale>
#include <gtest/gtest.h>

#if __has_include(<QApplication>) && defined(QT_WIDGETS_LIB)
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
