// Files dropped on a frame under a real X display: a drag source of the
// test's own drags a file list over the main window and drops it; the
// application opens the first file as File > Open would.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "XInput.h"

namespace {

class DropApp : public ui::App {
public:
    ui::Document* OpenDocumentFile(const std::string& path) override {
        opened.push_back(path);
        return nullptr;
    }
    std::vector<std::string> opened;
};

class FltkDrop : public FltkDisplayTest {};

TEST(DroppedFiles, UrisArePathsAndOtherLinesAreLeftOut) {
    using brennix::fltk::DroppedFilePaths;
    EXPECT_EQ(DroppedFilePaths("file:///tmp/a%20b.slb\r\nfile://localhost/home/x.slb\r\n"),
              (std::vector<std::string>{"/tmp/a b.slb", "/home/x.slb"}));
    EXPECT_EQ(DroppedFilePaths("/plain/path.slb\n"), std::vector<std::string>{"/plain/path.slb"});
    EXPECT_TRUE(DroppedFilePaths("file://otherhost/x.slb\nhttp://example.org/\nrelative.slb\n\n").empty());
    EXPECT_EQ(DroppedFilePaths("file:/short/form.slb"), std::vector<std::string>{"/short/form.slb"});
}

TEST_F(FltkDrop, FileDroppedOnTheMainWindowIsOpened) {
    DropApp app;
    auto frame = std::make_unique<ui::Frame>();
    ui::Frame* f = frame.get();
    app.SetMainFrame(std::move(frame));
    ASSERT_TRUE(f->LoadFrame("Drop Target"));
    f->MoveWindow({40, 40, 400, 300});
    f->ShowWindow(true);
    Fl_Window* win = backend.TopWindowOf(*f);
    ASSERT_TRUE(win);
    ASSERT_TRUE(WaitFor([&] { return win->shown() && win->visible(); }));
    ASSERT_TRUE(Settle());

    XdndSource source;
    ASSERT_TRUE(source.Ok());
    source.Enter(fl_xid(win), win->x() + 200, win->y() + 150,
                 "file:///tmp/dropped%20model.slb\r\nfile:///tmp/second.slb\r\n");
    ASSERT_TRUE(WaitFor([&] {
        source.Pump();
        return source.Accepted();
    })) << "the window did not accept the drag";
    source.Drop();
    EXPECT_TRUE(WaitFor([&] {
        source.Pump();
        return !app.opened.empty();
    }));
    EXPECT_TRUE(source.Served());
    EXPECT_EQ(app.opened, std::vector<std::string>{"/tmp/dropped model.slb"});
    f->DestroyWindow();
    ASSERT_TRUE(Settle());
}

}  // namespace
