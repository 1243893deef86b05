// The progress window: texts kept between calls, placement, the automatic
// close at the first pump after the delay, the per-second repaint, the
// font sizes fitted once, and the Cancel button while a run offers it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/SplashWindow.h"
#include "platform/ui/HeadlessTest.h"

namespace {

class SplashTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        CSplashWindow::ResetState();
        driver.SetDesktop({0, 0, 1000, 800});
    }
    void TearDown() override {
        CSplashWindow::ResetState();
        ui::HeadlessTest::TearDown();
    }
    static void Show(const char* title, const char* subtitle, int delay) {
        const std::string t = title ? title : "", s = subtitle ? subtitle : "";
        CSplashWindow::ShowProgress(nullptr, title ? &t : nullptr, subtitle ? &s : nullptr, delay);
    }
    std::vector<std::string> Paint() { return driver.PaintWindow(*CSplashWindow::Current()); }
    static bool Drawn(const std::vector<std::string>& ops, const std::string& text) {
        return std::any_of(ops.begin(), ops.end(), [&](const std::string& op) {
            return op.rfind("DrawText", 0) == 0 && op.size() >= text.size() &&
                   op.compare(op.size() - text.size(), text.size(), text) == 0;
        });
    }
};

TEST_F(SplashTest, FirstWindowIsCentredOnTheDesktopTopmostWithoutSubtitle) {
    Show("Analysis Started...", "", 0);
    CSplashWindow* w = CSplashWindow::Current();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->IsWindowVisible());
    EXPECT_EQ(w->GetWindowRect(), (ui::Rect{500 - 251, 400 - 163, 502, 327}));
    EXPECT_TRUE(w->GetStyle() & ui::style::Topmost);
    EXPECT_TRUE(w->GetStyle() & ui::style::Caption);
    EXPECT_GT(driver.PaintCount(*w), 0);  // painted before the call returned
    const auto ops = Paint();
    EXPECT_EQ(ops.front(), "Image 0 0 502 327");
    EXPECT_TRUE(Drawn(ops, "Brennix"));
    EXPECT_TRUE(Drawn(ops, "Calvex"));
    EXPECT_TRUE(Drawn(ops, "Analysis Started..."));
    EXPECT_EQ(std::count_if(ops.begin(), ops.end(), [](const std::string& op) { return op.rfind("DrawText", 0) == 0; }),
              4);  // product, maker, comments, title
    EXPECT_TRUE(driver.TimerActive(*w, CSplashWindow::kRepaintTimer));
    EXPECT_FALSE(driver.TimerActive(*w, CSplashWindow::kCloseTimer));
}

TEST_F(SplashTest, NoneKeepsTheSubtitleAndEmptyClearsIt) {
    Show("Analysis In Progress...", "Please Wait...", 0);
    Show("Still", nullptr, 0);
    EXPECT_EQ(CSplashWindow::Subtitle(), "Please Wait...");
    EXPECT_TRUE(Drawn(Paint(), "Please Wait..."));
    Show(nullptr, "", 0);
    EXPECT_EQ(CSplashWindow::Title(), "Still");
    EXPECT_EQ(CSplashWindow::Subtitle(), "");
    EXPECT_FALSE(Drawn(Paint(), "Please Wait..."));
}

TEST_F(SplashTest, DelayClosesAtTheFirstPumpAfterItAndAReopenShowsTheStoredTexts) {
    Show("Analysis Completed...", "", 100);
    CSplashWindow* w = CSplashWindow::Current();
    ASSERT_NE(w, nullptr);
    ui::Sleep(60);  // a blocked caller: nothing fires
    ui::PumpWindowMessages(*w);
    ASSERT_EQ(CSplashWindow::Current(), w);
    ui::Sleep(50);
    EXPECT_EQ(CSplashWindow::Current(), w);
    ui::PumpWindowMessages(*w);
    EXPECT_EQ(CSplashWindow::Current(), nullptr);
    EXPECT_TRUE(driver.LiveWindows().empty());

    CSplashWindow::ShowProgress(nullptr, nullptr, nullptr, 0);
    ASSERT_NE(CSplashWindow::Current(), nullptr);
    EXPECT_TRUE(Drawn(Paint(), "Analysis Completed..."));
}

TEST_F(SplashTest, RepaintsOnceASecond) {
    Show("Analysis In Progress...", "Please Wait...", 0);
    CSplashWindow* w = CSplashWindow::Current();
    const int before = driver.PaintCount(*w);
    driver.Advance(1000);
    ui::PumpWindowMessages(*w);
    EXPECT_EQ(driver.PaintCount(*w), before + 1);
}

TEST_F(SplashTest, FontSizesAreFittedOnceWithTheFirstTexts) {
    Show("Short", "", 0);
    const auto first = Paint();
    Show("A much longer title than the first one", "", 0);
    const auto later = Paint();
    auto titleFont = [](const std::vector<std::string>& ops) {
        for (std::size_t i = 0; i < ops.size(); ++i)
            if (ops[i].find(" 10 90 ") != std::string::npos)
                for (std::size_t j = i; j-- > 0;)
                    if (ops[j].rfind("Font", 0) == 0) return ops[j];
        return std::string();
    };
    EXPECT_FALSE(titleFont(first).empty());
    EXPECT_EQ(titleFont(first), titleFont(later));
}

// Cancel is drawn and heard only while offered; the button and the close
// box ask once, and a new offer forgets an old request.
TEST_F(SplashTest, CancelIsOfferedAskedOnceAndForgottenByTheNextOffer) {
    Show("Analysis In Progress...", "Please Wait...", 0);
    CSplashWindow* w = CSplashWindow::Current();
    ASSERT_NE(w, nullptr);
    const ui::Rect b = CSplashWindow::kCancelButton;
    const ui::Point onButton{b.x + b.w / 2, b.y + b.h / 2};
    EXPECT_FALSE(Drawn(Paint(), "Cancel"));
    w->OnPopupClick(onButton);
    w->OnPopupClose();
    EXPECT_FALSE(CSplashWindow::CancelAsked());
    EXPECT_EQ(CSplashWindow::Subtitle(), "Please Wait...");

    CSplashWindow::OfferCancel(true);
    EXPECT_TRUE(Drawn(Paint(), "Cancel"));
    w->OnPopupClick({b.x + b.w + 2, onButton.y});  // beside the button
    EXPECT_FALSE(CSplashWindow::CancelAsked());
    w->OnPopupClose();
    EXPECT_TRUE(CSplashWindow::CancelAsked());
    EXPECT_EQ(CSplashWindow::Subtitle(), "Cancelling...");
    EXPECT_TRUE(Drawn(Paint(), "Cancelling..."));
    EXPECT_EQ(CSplashWindow::Current(), w);  // the window stays until the run ends

    CSplashWindow::OfferCancel(true);
    EXPECT_FALSE(CSplashWindow::CancelAsked());
    w->OnPopupClick(onButton);
    EXPECT_TRUE(CSplashWindow::CancelAsked());
    CSplashWindow::OfferCancel(false);
    EXPECT_FALSE(CSplashWindow::CancelAsked());
    EXPECT_FALSE(Drawn(Paint(), "Cancel"));
}

TEST_F(SplashTest, FitPointSizeTakesTheLargestSizeThatFitsBothWays) {
    // The recording painter: a character is (h + 1) / 2 wide and h high.
    auto pixels = [](int points) { return static_cast<int>(std::lround(points * 96.0 / 72.0)); };
    struct Case {
        std::vector<std::string> lines;
        int w, h;
    };
    const Case cases[] = {
        {{"Brennix"}, 462, 35},              // height decides
        {{"Analysis Started..."}, 100, 25},  // width decides
        {{"Calvex", "x", "x", "long comments line"}, 382, 60},
        {{"abc"}, 40, 200},
    };
    for (const Case& c : cases) {
        ui::RecordingPainter painter({10, 10});
        const auto [points, height] = CSplashWindow::FitPointSize(painter, "Arial", c.lines, c.w, c.h);
        std::size_t widest = 0;
        for (const auto& l : c.lines) widest = std::max(widest, l.size());
        const int limit = c.h / static_cast<int>(c.lines.size());
        auto fits = [&](int p) {
            const int h = pixels(p);
            return static_cast<int>(widest) * ((h + 1) / 2) <= c.w && h <= limit;
        };
        int expected = 6;
        for (int p = 8; fits(p); p += 2) expected = p;
        EXPECT_EQ(points, expected) << c.lines[0];
        EXPECT_EQ(height, expected == 6 ? 0 : pixels(expected)) << c.lines[0];
    }
    ui::RecordingPainter painter({10, 10});
    EXPECT_EQ(CSplashWindow::FitPointSize(painter, "Arial", {"too wide for the box"}, 20, 100),
              (std::pair<int, int>{6, 0}));
}

}  // namespace
