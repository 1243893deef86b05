// The refine dialog driven as a user would: its two modes, the refusals of
// bad input and the hand-over of good input to the view.

#include <string>
#include <vector>

#include "GridMeshSupport.h"
#include "uibase/Hosts.h"
#include "meshtools/ui/DlgRefine.h"
#include "platform/ui/HeadlessTest.h"

namespace {

struct RefineCall {
    int a, b;
    double size;
};

class FakeView : public ViewHost {
public:
    ModelData* GetModelData() const override { return model; }
    void RefineMesh(int a, int b, double size) override { calls.push_back({a, b, size}); }

    ModelData* model = nullptr;
    std::vector<RefineCall> calls;
};

class DlgRefineTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        gridmesh::BuildGrid(model, {.nx = 2, .ny = 2, .nodesPerElement = 8});
        view.model = &model;
    }

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& box : driver.MessageBoxes()) texts.push_back(box.text);
        return texts;
    }

    ModelData model;
    FakeView view;
};

bool Shown(const ui::Dialog& d, int id) { return d.GetDlgItem(id)->IsWindowVisible(); }

}  // namespace

TEST_F(DlgRefineTest, TemplateModelAsksForTheTypicalSizeOnly) {
    DlgRefine d(view, nullptr, 1, 1.25);
    ASSERT_TRUE(d.Create());
    EXPECT_EQ(d.GetWindowText(), "Refine Mesh");
    EXPECT_EQ(d.GetDlgItemText(DlgRefine::IDC_FIRST_LABEL), "Typical FE size");
    EXPECT_EQ(d.GetDlgItemText(DlgRefine::IDC_FIRST), "1.250");
    EXPECT_TRUE(Shown(d, DlgRefine::IDC_FIRST));
    EXPECT_FALSE(Shown(d, DlgRefine::IDC_CAPTION));
    EXPECT_FALSE(Shown(d, DlgRefine::IDC_SECOND));
    EXPECT_FALSE(Shown(d, DlgRefine::IDC_SECOND_LABEL));

    d.UserType(DlgRefine::IDC_FIRST, "-1");
    d.UserClick(ui::IDOK);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Invalid input"});
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(DlgRefine::IDC_FIRST));
    EXPECT_EQ(d.Get<ui::Edit>(DlgRefine::IDC_FIRST)->SelectedText(), "-1");
    EXPECT_TRUE(view.calls.empty());

    d.UserType(DlgRefine::IDC_FIRST, "0");
    d.UserClick(ui::IDOK);
    ASSERT_EQ(view.calls.size(), 1u);
    EXPECT_EQ(view.calls[0].size, 0.0);
    EXPECT_EQ(Messages().size(), 1u);
    d.DestroyWindow();
}

TEST_F(DlgRefineTest, FreeModelTakesTwoDivisionsAndStaysOpen) {
    DlgRefine d(view, nullptr, 0, 1.0);
    ASSERT_TRUE(d.Create());
    EXPECT_EQ(d.GetDlgItemText(DlgRefine::IDC_CAPTION), "Number of divisions");
    EXPECT_EQ(d.GetDlgItemText(DlgRefine::IDC_FIRST_LABEL), "Y-direction");
    EXPECT_EQ(d.GetDlgItemText(DlgRefine::IDC_SECOND_LABEL), "Z-direction");
    EXPECT_EQ(d.GetDlgItemText(DlgRefine::IDC_FIRST), "2");
    EXPECT_EQ(d.GetDlgItemText(DlgRefine::IDC_SECOND), "2");
    EXPECT_TRUE(Shown(d, DlgRefine::IDC_SECOND));

    d.UserType(DlgRefine::IDC_FIRST, "2.7");
    d.UserType(DlgRefine::IDC_SECOND, "3");
    d.UserClick(ui::IDOK);
    ASSERT_EQ(view.calls.size(), 1u);
    EXPECT_EQ(view.calls[0].a, 2);
    EXPECT_EQ(view.calls[0].b, 3);
    EXPECT_FALSE(d.IsEnded());
    d.UserClick(ui::IDOK);  // again: refines the current mesh once more
    EXPECT_EQ(view.calls.size(), 2u);
    EXPECT_TRUE(Messages().empty());

    d.UserClick(ui::IDCANCEL);
    EXPECT_FALSE(d.IsWindowVisible());
    EXPECT_TRUE(d.IsWindow());
    d.DestroyWindow();
}

TEST_F(DlgRefineTest, BadDivisionsAreRefusedOnTheirField) {
    struct Case {
        const char* name;
        const char* first;
        const char* second;
        int focus;
        const char* shownFirst;
        const char* shownSecond;
    };
    const Case cases[] = {
        {"letters", "abc", "2", DlgRefine::IDC_FIRST, "0", "2"},
        {"zero", "2", "0", DlgRefine::IDC_SECOND, "2", "0"},
        {"negative", "-3", "2", DlgRefine::IDC_FIRST, "-3", "2"},
        {"empty", "", "2", DlgRefine::IDC_FIRST, "0", "2"},
        {"sign after digits", "4", "3-", DlgRefine::IDC_SECOND, "4", "3"},
        {"too many nodes", "100000", "100000", DlgRefine::IDC_FIRST, "100000", "100000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        driver.ClearLogs();
        view.calls.clear();
        DlgRefine d(view, nullptr, 0, 1.0);
        ASSERT_TRUE(d.Create());
        d.UserType(DlgRefine::IDC_FIRST, c.first);
        d.UserType(DlgRefine::IDC_SECOND, c.second);
        d.UserClick(ui::IDOK);
        EXPECT_EQ(Messages(), std::vector<std::string>{"Invalid input"});
        EXPECT_EQ(driver.MessageBoxes()[0].buttons, ui::Buttons::Ok);
        EXPECT_EQ(d.GetFocus(), d.GetDlgItem(c.focus));
        EXPECT_EQ(d.GetDlgItemText(DlgRefine::IDC_FIRST), c.shownFirst);
        EXPECT_EQ(d.GetDlgItemText(DlgRefine::IDC_SECOND), c.shownSecond);
        EXPECT_TRUE(view.calls.empty());
        d.DestroyWindow();
    }
}
