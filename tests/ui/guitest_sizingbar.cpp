// Docking bars that open beside others: the share each takes of its area.
#include "ui/sizingbar.h"

#include <QApplication>
#include <QMainWindow>

#include <gtest/gtest.h>

TEST(SizingBar, ASharedLengthIsTheLastOneOrAThirdWithinTheMinimums)
{
    EXPECT_EQ(SharedBarLength(0, 900, 160), 300);
    EXPECT_EQ(SharedBarLength(420, 900, 160), 420);
    // A length squeezed once comes back readable; one too long leaves the others theirs.
    EXPECT_EQ(SharedBarLength(40, 900, 160), 160);
    EXPECT_EQ(SharedBarLength(880, 900, 160), 740);
    // A window too small for two: the minimum all the same.
    EXPECT_EQ(SharedBarLength(0, 300, 160), 160);
}

TEST(SizingBar, BarsStackedAtTheSideShareTheHeight)
{
    QMainWindow window;
    window.setCentralWidget(new QWidget);
    window.resize(800, 600);
    auto *pFirst = new CSizingControlBar(1, QStringLiteral("first"), QSize(200, 400), &window);
    auto *pSecond = new CSizingControlBar(2, QStringLiteral("second"), QSize(200, 400), &window);
    window.addDockWidget(Qt::LeftDockWidgetArea, pFirst);
    window.addDockWidget(Qt::LeftDockWidgetArea, pSecond);
    pSecond->hide();
    window.show();
    const auto settle = [] {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    };
    settle();
    // Alone in its area the first takes the width it was made with.
    EXPECT_NEAR(pFirst->width(), 200, 4);
    pSecond->show();
    settle();
    EXPECT_GE(pSecond->height(), window.height() / 3 - 10);
    EXPECT_GE(pFirst->height(), 80);
    EXPECT_NEAR(pFirst->width(), 200, 4);
}
