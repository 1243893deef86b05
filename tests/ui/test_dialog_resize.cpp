// Resizable dialogs: the user's new size reaches OnSize as the client size,
// controls keep their places unless OnSize moves them, and a dialog without
// the sizing border refuses the resize.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/HeadlessTest.h"
#include "platform/ui/UI.h"

namespace {

constexpr int kButton = 1001;
constexpr int kBox = 1002;

class SizedDialog : public ui::Dialog {
public:
    explicit SizedDialog(unsigned style) : ui::Dialog(0), style_(style) {}
    ui::DialogTemplate BuildTemplate() const override {
        ui::DialogTemplate t;
        t.caption = "Sized";
        t.rect = {0, 0, 100, 80};
        t.style = style_;
        t.PushButton(kButton, "Button", {10, 10, 40, 14});
        t.CustomBox(kBox, {60, 10, 30, 30});
        return t;
    }
    void OnSize(int cx, int cy) override {
        sizes.push_back({cx, cy});
        // The box follows the right edge; the button stays.
        if (ui::Control* box = GetDlgItem(kBox)) box->MoveWindow({cx - 50, 15, 45, cy - 20});
    }
    std::vector<ui::Size> sizes;

private:
    unsigned style_;
};

class DialogResizeTest : public ui::HeadlessTest {};

}  // namespace

TEST_F(DialogResizeTest, ResizableDialogRunsOnSizeAndKeepsOtherControls) {
    SizedDialog d(ui::style::Caption | ui::style::SysMenu | ui::style::Resizable | ui::style::Visible);
    ASSERT_TRUE(d.Create());
    const ui::Rect button = d.GetDlgItem(kButton)->GetWindowRect();
    ASSERT_TRUE(d.UserResize(400, 300));
    EXPECT_EQ(d.GetClientSize(), (ui::Size{400, 300}));
    ASSERT_EQ(d.sizes.size(), 1u);
    EXPECT_EQ(d.sizes[0], (ui::Size{400, 300}));
    EXPECT_EQ(d.GetDlgItem(kButton)->GetWindowRect(), button);
    EXPECT_EQ(d.GetDlgItem(kBox)->GetWindowRect(), (ui::Rect{350, 15, 45, 280}));
    // The same size again changes nothing; a programmatic size change runs OnSize too.
    ASSERT_TRUE(d.UserResize(400, 300));
    EXPECT_EQ(d.sizes.size(), 1u);
    d.SetWindowSize(500, 200);
    EXPECT_EQ(d.sizes.back(), (ui::Size{500, 200}));
    EXPECT_FALSE(d.UserResize(0, 100));
}

TEST_F(DialogResizeTest, DialogWithoutTheSizingBorderRefuses) {
    SizedDialog d(ui::style::Caption | ui::style::SysMenu | ui::style::Visible);
    ASSERT_TRUE(d.Create());
    const ui::Size before = d.GetClientSize();
    EXPECT_FALSE(d.UserResize(400, 300));
    EXPECT_EQ(d.GetClientSize(), before);
    EXPECT_TRUE(d.sizes.empty());
    // A hidden dialog takes no user action either.
    SizedDialog hidden(ui::style::Caption | ui::style::Resizable);
    ASSERT_TRUE(hidden.Create());
    EXPECT_FALSE(hidden.UserResize(400, 300));
}
