#include "app/background_geometry.h"
#include <gtest/gtest.h>
#include <string>

TEST(ProgressBar, FiftyPixelFrameMovesEveryTwoPercent)
{
    ProgressModel bar = NewProgressModel(Box{10, 5, 60, 20});
    EXPECT_STREQ(bar.text, "0 %");
    EXPECT_EQ(MoveProgress(bar, 1), PROGRESS_SAME);
    EXPECT_EQ(bar.fillEdge, 10);
    EXPECT_STREQ(bar.text, "0 %");
    EXPECT_EQ(MoveProgress(bar, 2), PROGRESS_MOVED);
    EXPECT_EQ(bar.fillEdge, 11);
    EXPECT_STREQ(bar.text, "2 %");
    EXPECT_EQ(MoveProgress(bar, 3), PROGRESS_SAME);
    EXPECT_STREQ(bar.text, "2 %");
    EXPECT_EQ(MoveProgress(bar, 42), PROGRESS_MOVED);
    EXPECT_STREQ(bar.text, "42 %");
}

TEST(ProgressBar, HighFillsTheFrameAndShowsAHundred)
{
    ProgressModel bar = NewProgressModel(Box{7, 0, 200, 13});
    bar.high = 3;
    EXPECT_EQ(MoveProgress(bar, 3), PROGRESS_MOVED);
    EXPECT_EQ(bar.fillEdge, 200);
    EXPECT_STREQ(bar.text, "100 %");
    EXPECT_EQ(MoveProgress(bar, 1), PROGRESS_MOVED);
    EXPECT_EQ(bar.fillEdge, 7 + 64);
    EXPECT_STREQ(bar.text, "33 %");
}

TEST(ProgressBar, PositionsOutsideTheRangeAreRefused)
{
    ProgressModel bar = NewProgressModel(Box{0, 0, 100, 10});
    bar.low = 10;
    bar.high = 50;
    const ProgressModel before = bar;
    EXPECT_EQ(MoveProgress(bar, 51), PROGRESS_REFUSED);
    EXPECT_EQ(MoveProgress(bar, 9), PROGRESS_REFUSED);
    EXPECT_EQ(bar.fillEdge, before.fillEdge);
    EXPECT_STREQ(bar.text, before.text);
    EXPECT_EQ(MoveProgress(bar, 10), PROGRESS_MOVED);
    EXPECT_EQ(bar.fillEdge, 25); // positions count from 0, low only limits them
}

TEST(ProgressBar, TextStartsAThirdOfItsWidthLeftOfTheMiddle)
{
    EXPECT_EQ(ProgressTextX(Box{10, 0, 110, 10}, 30), 60 - 10);
    EXPECT_EQ(ProgressTextX(Box{10, 0, 111, 10}, 31), 111 - 50 - 10);
}

TEST(PlaceWindow, ThreePlacesOnTheDesktop)
{
    const Box desktop = {0, 0, 1024, 768};
    const Box client = {0, 0, 300, 200};
    int32_t x, y;
    ASSERT_TRUE(PlacementOnDesktop(PLACE_CENTRE, desktop, client, x, y));
    EXPECT_EQ(x, 512 - 150);
    EXPECT_EQ(y, 384 - 100);
    ASSERT_TRUE(PlacementOnDesktop(PLACE_LOWER_RIGHT, desktop, client, x, y));
    EXPECT_EQ(x, 1024 - 68 - 300);
    EXPECT_EQ(y, 768 - 128 - 200);
    ASSERT_TRUE(PlacementOnDesktop(PLACE_UPPER_LEFT, desktop, client, x, y));
    EXPECT_EQ(x, 29);
    EXPECT_EQ(y, 96);
    EXPECT_FALSE(PlacementOnDesktop(3, desktop, client, x, y));
}

TEST(PlaceWindow, SmallDesktopClampsTheCornersButNotTheCentre)
{
    const Box desktop = {0, 0, 200, 150};
    const Box client = {0, 0, 300, 200};
    int32_t x, y;
    PlacementOnDesktop(PLACE_LOWER_RIGHT, desktop, client, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    PlacementOnDesktop(PLACE_CENTRE, desktop, client, x, y);
    EXPECT_EQ(x, -50);
    EXPECT_EQ(y, -25);
}

TEST(BannerPlacement, PercentOfTheClientWithDivisionFirst)
{
    const int32_t placement[4] = {10, 20, 90, 60};
    const Box d = BannerRectangle(Box{0, 0, 1099, 799}, placement);
    EXPECT_EQ(d.left, 10 * 10);
    EXPECT_EQ(d.right, 10 * 90);
    EXPECT_EQ(d.top, 20 * 7);
    EXPECT_EQ(d.bottom, 60 * 7);
}

TEST(BannerPlacement, EdgesNotBeyondTheirOppositesMeanTheClientsEdges)
{
    const int32_t backwards[4] = {50, 80, 50, 30};
    const Box d = BannerRectangle(Box{0, 0, 1000, 700}, backwards);
    EXPECT_EQ(d.left, 500);
    EXPECT_EQ(d.right, 1000);
    EXPECT_EQ(d.top, 560);
    EXPECT_EQ(d.bottom, 700);
    const int32_t huge[4] = {INT32_MAX, INT32_MIN, 5, 5};
    const Box e = BannerRectangle(Box{0, 0, 1000, 700}, huge);
    EXPECT_EQ(e.left, INT32_MAX);
    EXPECT_EQ(e.right, 1000);
}

TEST(Gradient, ClientOf1024RowsHasFourRowBandsAndABlackEnd)
{
    const Box client = {0, 0, 800, 1024};
    const Band first = GradientBand(client, 0);
    EXPECT_EQ(first.top, 0);
    EXPECT_EQ(first.bottom, 4);
    EXPECT_EQ(first.intensity, 255);
    EXPECT_EQ(GradientBand(client, 1).intensity, 255);
    EXPECT_EQ(GradientBand(client, 2).intensity, 254);
    const Band last = GradientBand(client, 255);
    EXPECT_EQ(last.top, 1020);
    EXPECT_EQ(last.intensity, 1);
    EXPECT_EQ(GradientBlackTop(client), 1020);
}

TEST(Gradient, ClientUnder256RowsIsAllBlack)
{
    const Box client = {0, 0, 800, 255};
    for (int k = 0; k < GRADIENT_BANDS; k++) {
        const Band band = GradientBand(client, k);
        EXPECT_EQ(band.top, band.bottom) << k;
    }
    EXPECT_EQ(GradientBlackTop(client), 0);
}

TEST(BackgroundTexts, ScaleWithTheWindow)
{
    const Box client = {0, 0, 1100, 900};
    EXPECT_EQ(FooterFontHeight(client), 20);
    EXPECT_EQ(TitleFontHeight(client), 55);
    EXPECT_EQ(TitleFontWidth(client), 22);
    const Point title = TitlePosition(client);
    EXPECT_EQ(title.x, 44);
    EXPECT_EQ(title.y, 30);
    const Point footer = FooterPosition(client, 200, 16);
    EXPECT_EQ(footer.x, 1100 - 55 - 200);
    EXPECT_EQ(footer.y, 900 - 30 - 16);
}
