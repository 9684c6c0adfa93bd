// Drawing of the status window's panes, pixel for pixel on 32-bit DIB sections.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/strings.h"
#include "bitmaps/bitmap_ids.h"
#include "status_test_support.h"
#include "ui/drawing.h"

namespace {

// A memory DC on a top-down 32-bit DIB section whose pixels the test reads directly.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) : width_(width), height_(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        RECT all = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas()
    {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        DWORD p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // The first row from the top holding a pixel of `colour`; -1 when none does.
    int FirstRowWith(COLORREF colour) const
    {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (At(x, y) == colour)
                    return y;
        return -1;
    }
    bool AnyIn(int left, int right, COLORREF colour) const
    {
        for (int y = 0; y < height_; ++y)
            for (int x = left; x < right; ++x)
                if (At(x, y) == colour)
                    return true;
        return false;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    DWORD* bits_ = nullptr;
};

HRSRC Picture(int id)
{
    return FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_BITMAP);
}

class Drawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetStatusState();
        // The pictures come from this program's resources instead of the presentation library.
        g_state.libraries.presentation = GetModuleHandleW(nullptr);
    }
};

TEST_F(Drawing, TealSchemeBandsFollowTheTruncatedDivisions)
{
    g_state.display.colourScheme = 600;
    Canvas canvas(4, 200);
    FillGradient(canvas.dc(), 0, 0, 4, 200);
    for (int y = 0; y <= 4; ++y)
        EXPECT_EQ(canvas.At(2, y), RGB(4, 129, 129)) << "row " << y;
    EXPECT_EQ(canvas.At(2, 5), RGB(9, 131, 131));
    for (int y = 195; y <= 199; ++y)
        EXPECT_EQ(canvas.At(2, y), RGB(192, 192, 192)) << "row " << y;
}

TEST_F(Drawing, MirroredSchemeMeetsInTheMiddleRow)
{
    g_state.display.colourScheme = 602;
    Canvas canvas(4, 101);
    FillGradient(canvas.dc(), 0, 0, 4, 101);
    // Band 1: red 187 - 59/40 (toward zero: 186), green and blue 128/40.
    EXPECT_EQ(canvas.At(0, 0), RGB(186, 3, 3));
    EXPECT_EQ(canvas.At(0, 100), RGB(186, 3, 3));
    EXPECT_EQ(canvas.At(0, 50), RGB(128, 128, 128));
    EXPECT_EQ(canvas.At(0, 49), canvas.At(0, 51));
}

TEST_F(Drawing, TheKeyColourIsTransparentAndOnlyIt)
{
    Canvas canvas(20, 20);
    DrawTransparentDib(canvas.dc(), Picture(IDB_TEST_BLUE), 2, 3, 16, 16);
    EXPECT_EQ(canvas.At(2, 3), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(9, 10), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(10, 10), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(1, 3), RGB(255, 255, 255));

    Canvas untouched(20, 20, RGB(10, 20, 30));
    DrawTransparentDib(untouched.dc(), Picture(IDB_TEST_ALL_KEY), 2, 3, 16, 16);
    for (int y = 3; y < 11; ++y)
        for (int x = 2; x < 10; ++x)
            ASSERT_EQ(untouched.At(x, y), RGB(10, 20, 30)) << x << "," << y;
}

TEST_F(Drawing, AnimationFramesAreDrawnInTheirOrderOverTheBackground)
{
    const HRSRC background = Picture(IDB_TEST_BACKGROUND);
    AnimationFrame frames[2] = {{Picture(IDB_TEST_RED), 2, 8, 8, 100}, {Picture(IDB_TEST_GREEN), 1, 8, 8, 100}};
    g_state.display.colourScheme = 600;
    g_state.display.background = &background;
    g_state.display.frameCount = 2;
    g_state.display.frames = frames;
    g_state.animationA = {1, &frames[0]};
    g_state.animationB = {2, &frames[1]};
    g_state.presentation.runs[TIMER_ANIMATION_A] = g_state.presentation.runs[TIMER_ANIMATION_B] = TRUE;
    const RECT pane = {0, 0, 16, 16};
    {
        Canvas canvas(16, 16);
        DrawPicturePane(canvas.dc(), pane);
        EXPECT_EQ(canvas.At(1, 1), RGB(0, 0, 255)) << "background picture";
        EXPECT_EQ(canvas.At(12, 12), RGB(255, 0, 0)) << "A (order 2) over B (order 1)";
        EXPECT_NE(canvas.At(12, 2), RGB(255, 0, 255)) << "the gradient shows through the key colour";
    }
    frames[0].order = 1;  // equal orders: B first, A on top
    {
        Canvas canvas(16, 16);
        DrawPicturePane(canvas.dc(), pane);
        EXPECT_EQ(canvas.At(12, 12), RGB(255, 0, 0));
    }
    frames[1].order = 0;  // B now lower: still under A
    frames[0].order = 3;
    g_state.presentation.runs[TIMER_ANIMATION_A] = FALSE;
    {
        Canvas canvas(16, 16);
        DrawPicturePane(canvas.dc(), pane);
        EXPECT_EQ(canvas.At(12, 12), RGB(0, 255, 0)) << "only B runs";
    }
}

TEST_F(Drawing, ProgressTextsFollowTheTotal)
{
    struct Case {
        DWORD total, printed;
        const wchar_t* text;
    } cases[] = {
        {10, 3, L"前 3 页 (10 页中)已打印"},
        {1, 0, L"0 页的第 1 页已打印"},
        {0, 1, L"1 页已打印"},
        {0, 5, L"5 页已打印"},
    };
    for (const Case& c : cases) {
        g_state.presentation.totalPages = c.total;
        g_state.presentation.pagesPrinted = c.printed;
        wchar_t text[FORMATTED_TEXT_CHARS];
        ProgressText(text);
        EXPECT_STREQ(text, c.text);
    }
}

TEST_F(Drawing, ThreeOfTenPagesFillThirtyPercentInBlueWithWhiteTextOverIt)
{
    g_state.presentation.totalPages = 10;
    g_state.presentation.pagesPrinted = 3;
    Canvas canvas(200, 20);
    DrawProgressBar(canvas.dc(), {0, 0, 200, 20});
    EXPECT_EQ(canvas.At(0, 19), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(59, 19), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(60, 19), GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(canvas.AnyIn(60, 200, GetSysColor(COLOR_BTNTEXT))) << "text beside the bar";
    EXPECT_FALSE(canvas.AnyIn(60, 200, RGB(255, 255, 255)));

    // The text is centred over the whole width, so it crosses into the blue part only when
    // the bar is long enough: at 9 of 10 the white part of the text shows.
    g_state.presentation.pagesPrinted = 9;
    Canvas later(200, 20);
    DrawProgressBar(later.dc(), {0, 0, 200, 20});
    EXPECT_TRUE(later.AnyIn(0, 180, RGB(255, 255, 255)));
    EXPECT_FALSE(later.AnyIn(0, 180, GetSysColor(COLOR_BTNTEXT)));
}

TEST_F(Drawing, NoTotalMeansNoBarAndTheSwitchHidesEverything)
{
    g_state.presentation.totalPages = 0;
    g_state.presentation.pagesPrinted = 1;
    Canvas canvas(200, 20);
    DrawProgressBar(canvas.dc(), {0, 0, 200, 20});
    EXPECT_FALSE(canvas.AnyIn(0, 200, RGB(0, 0, 255)));
    EXPECT_TRUE(canvas.AnyIn(0, 200, GetSysColor(COLOR_BTNTEXT)));

    g_state.display.hideProgress = 1;
    Canvas hidden(200, 20, RGB(1, 2, 3));
    DrawProgressBar(hidden.dc(), {0, 0, 200, 20});
    for (int x = 0; x < 200; x += 7)
        ASSERT_EQ(hidden.At(x, 10), GetSysColor(COLOR_BTNFACE));
    EXPECT_FALSE(hidden.AnyIn(0, 200, GetSysColor(COLOR_BTNTEXT)));
}

// The first row that text reaches when `text` is centred in a 100-pixel pane.
int InkTop(const wchar_t* text, int* lineHeight)
{
    PswJobStatusText record = {0, 0, -16, FW_NORMAL, {0, 0}, text};
    g_state.display.jobStatus = &record;
    Canvas canvas(100, 100);
    DrawJobStatus(canvas.dc(), {0, 0, 100, 100});
    HFONT font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH, L"");
    HGDIOBJ previous = SelectObject(canvas.dc(), font);
    TEXTMETRICW metrics;
    GetTextMetricsW(canvas.dc(), &metrics);
    SelectObject(canvas.dc(), previous);
    DeleteObject(font);
    *lineHeight = metrics.tmHeight;
    return canvas.FirstRowWith(GetSysColor(COLOR_BTNTEXT));
}

TEST_F(Drawing, TwoLinesOfJobStatusStartAFullLineAboveTheMiddle)
{
    int height = 0;
    int one = InkTop(L"A", &height);
    int two = InkTop(L"A\r\nB", &height);
    ASSERT_GT(one, 0);
    EXPECT_EQ(one - two, height - height / 2);
    EXPECT_GE(two, 50 - height);
    EXPECT_LT(two, 50 - height / 2);
}

// Wine cannot switch a high-contrast scheme on: the drawing is told it is on.
class HighContrastScheme {
public:
    HighContrastScheme() : previous_(HighContrastOn) { HighContrastOn = [] { return BOOL(TRUE); }; }
    ~HighContrastScheme() { HighContrastOn = previous_; }
    HighContrastScheme(const HighContrastScheme&) = delete;
    HighContrastScheme& operator=(const HighContrastScheme&) = delete;

private:
    BOOL (*previous_)(void);
};

TEST_F(Drawing, UnderHighContrastTheBarAndPanesTakeTheSchemesColoursAndThePictureNoGradient)
{
    g_state.presentation.totalPages = 10;
    g_state.presentation.pagesPrinted = 3;
    g_state.display.colourScheme = 600;
    const RECT pane = {0, 0, 16, 16};
    const PswJobStatusText status = {0, 0, -12, FW_NORMAL, {}, L"A"};
    g_state.display.jobStatus = &status;
    {
        HighContrastScheme on;
        Canvas bar(200, 20);
        DrawProgressBar(bar.dc(), {0, 0, 200, 20});
        EXPECT_EQ(bar.At(0, 19), GetSysColor(COLOR_HIGHLIGHT)) << "the printed part";
        EXPECT_EQ(bar.At(60, 19), GetSysColor(COLOR_WINDOW)) << "the rest";
        EXPECT_FALSE(bar.AnyIn(0, 200, RGB(0, 0, 255)));
        g_state.presentation.pagesPrinted = 9;
        Canvas later(200, 20);
        DrawProgressBar(later.dc(), {0, 0, 200, 20});
        EXPECT_TRUE(later.AnyIn(0, 180, GetSysColor(COLOR_HIGHLIGHTTEXT))) << "the text over the printed part";

        Canvas picture(16, 16);
        DrawPicturePane(picture.dc(), pane);
        for (int y = 0; y < 16; y += 5)
            EXPECT_EQ(picture.At(0, y), GetSysColor(COLOR_WINDOW)) << "row " << y << ": no gradient";

        Canvas text(40, 40, RGB(1, 2, 3));
        DrawJobStatus(text.dc(), {0, 0, 40, 40});
        EXPECT_EQ(text.At(39, 0), GetSysColor(COLOR_WINDOW)) << "the job-status pane";
    }
    // Without the scheme, the gradient again: row 0 of a 16-pixel pane has band 3's colour.
    Canvas picture(16, 16);
    DrawPicturePane(picture.dc(), pane);
    EXPECT_EQ(picture.At(0, 0), RGB(14, 132, 132));
    Canvas text(40, 40, RGB(1, 2, 3));
    DrawJobStatus(text.dc(), {0, 0, 40, 40});
    EXPECT_EQ(text.At(39, 0), GetSysColor(COLOR_BTNFACE));
    DropPictureCache();
}

}  // namespace
