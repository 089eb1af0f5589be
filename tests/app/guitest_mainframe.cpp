#include "app/mainframe.h"

#include <gtest/gtest.h>

TEST(MainFrame, OpensTitledWrenpad)
{
    CMainFrame frame;
    frame.show();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Wrenpad"));
    EXPECT_TRUE(frame.isVisible());
}
