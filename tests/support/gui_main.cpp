// Entry point of the widget tests: one QApplication for the whole run.
#include "support/testutil.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                      : qgetenv("QT_QPA_PLATFORM"));
    // Recovery records and session lists of the editors the tests run stay
    // out of the user's own state folder.
    CTempDir stateHome;
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(stateHome.Path()));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
