// "Nonlinear Spring" driven as the user drives it: profiles proposed, typed,
// read from a file, checked and stored, the window over many points, and the
// selected profile in the compact chart.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "SquareMeshSupport.h"
#include "dialogs/CDlgNonlinearSpring.h"

namespace {

using dialogtest::SquareMeshFixture;
using S = CDlgNonlinearSpring;

// A text file for one test, removed with it.
class SpringFile {
public:
    explicit SpringFile(const std::string& text) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = (std::filesystem::temp_directory_path() /
                 ("spring_" + std::to_string(::getpid()) + "_" + info->name() + ".txt"))
                    .string();
        std::ofstream(path_) << text;
    }
    ~SpringFile() { std::remove(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

NonlinearSpring Profile(std::vector<double> d, std::vector<double> f) {
    NonlinearSpring p;
    p.deformations = std::move(d);
    p.forces = std::move(f);
    return p;
}

class SpringTest : public SquareMeshFixture {
protected:
    // New, then n points typed as (i, 10 i) through Add Row and the cells.
    void NewWithPoints(S& d, int n) {
        d.UserClick(S::IDC_NEW);
        for (int i = 0; i < n; ++i) {
            d.UserClick(S::IDC_ADD_ROW);
            const int row = d.CurrentRow();
            d.UserType(S::DeformationId(row), std::to_string(i));
            d.UserType(S::ForceId(row), std::to_string(10 * i));
            d.UserFocus(S::DeformationId(row));  // leaves the force cell
        }
    }
    void TypePoints(S& d, const std::vector<std::pair<double, double>>& points) {
        d.UserClick(S::IDC_NEW);
        for (const auto& [def, force] : points) {
            d.UserClick(S::IDC_ADD_ROW);
            d.UserType(S::DeformationId(d.CurrentRow()), ui::FormatDouble(def));
            d.UserType(S::ForceId(d.CurrentRow()), ui::FormatDouble(force));
        }
    }
};

TEST(SpringPointCheck, RepeatsAndOrder) {
    struct Case {
        const char* name;
        NonlinearSpring profile;
        int expected;
    };
    const Case cases[] = {
        {"none", Profile({}, {}), S::kAccepted},
        {"one point", Profile({1}, {1}), S::kAccepted},
        {"ascending", Profile({0, 0.01, 0.02}, {0, 100, 150}), S::kAccepted},
        {"repeated deformation", Profile({0, 0}, {0, 5}), S::kRepeatedDeformations},
        {"repeated force", Profile({0, 1}, {0, 0}), S::kRepeatedForces},
        {"both on one pair", Profile({0, 0}, {0, 0}), S::kRepeats},
        {"two pairs of repeated deformations", Profile({0, 0, 0}, {0, 1, 2}), S::kRepeats},
        {"descending after a repeat", Profile({0, 0, -1}, {0, 0, 1}), S::kDescending},
        {"within 1e-10", Profile({1, 1 + 1e-11}, {0, 1}), S::kRepeatedDeformations},
        {"beyond 1e-10", Profile({1, 1 + 1e-9}, {0, 1}), S::kAccepted},
    };
    for (const Case& c : cases) EXPECT_EQ(S::CheckAscending(c.profile), c.expected) << c.name;
}

TEST_F(SpringTest, EmptyModelOffersOnlyNewWhichProposesTheFirstName) {
    ModelData fresh;
    fresh.Reset();
    doc.model = &fresh;
    S d(&doc, &view);
    Open(d);
    EXPECT_TRUE(ListItems(d, S::IDC_PROFILE_LIST).empty());
    EXPECT_TRUE(Enabled(d, S::IDC_NEW));
    for (int id : {S::IDC_SAVE, S::IDC_UPDATE, S::IDC_DELETE}) EXPECT_FALSE(Enabled(d, id)) << id;
    EXPECT_FALSE(Visible(d, S::IDC_NAME));
    EXPECT_FALSE(Visible(d, S::IDC_CHART));
    EXPECT_FALSE(Visible(d, S::IDC_OPEN_FILE));
    d.UserClick(S::IDC_NEW);
    EXPECT_EQ(d.GetDlgItemText(S::IDC_NAME), "New Data Profile 1");
    EXPECT_TRUE(Visible(d, S::IDC_OPEN_FILE));
    EXPECT_FALSE(Enabled(d, S::IDC_SAVE));  // no point yet
    EXPECT_TRUE(doc.modifiedFlag);
}

TEST_F(SpringTest, SaveRefusesBadPointsAndStoresGoodOnes) {
    struct Case {
        const char* name;
        std::vector<std::pair<double, double>> points;
        const char* message;
    };
    const Case cases[] = {
        {"repeated deformation", {{0, 0}, {0, 5}}, "Error: \n Repeated defomrations are not allowed."},
        {"repeated force", {{0, 0}, {1, 0}}, "Warning: \n Repeated forces may cause zero-stiffness spring."},
        {"both", {{0, 0}, {0, 0}}, "Error: \n Deformation/forces are repeated."},
        {"descending",
         {{0, 0}, {0, 0}, {-1, 1}},
         "Error: \n Deformation and force inputs should be in ascending order."},
    };
    S d(&doc, &view);
    Open(d);
    for (const Case& c : cases) {
        TypePoints(d, c.points);
        driver.ExpectMessageBox(ui::IDCANCEL, "Save current data?");  // the next New
        d.UserClick(S::IDC_SAVE);
        EXPECT_EQ(LastBox(), c.message) << c.name;
        EXPECT_EQ(model.NonlinearSpringCount(), 2) << c.name;
    }
    TypePoints(d, {{0, 0}, {0.5, 20}});
    d.UserType(S::IDC_NAME, "Soft");
    d.UserClick(S::IDC_SAVE);
    EXPECT_EQ(LastBox(), "Error: \n Same name already exists.");
    d.UserType(S::IDC_NAME, "Medium");
    d.UserClick(S::IDC_SAVE);
    ASSERT_EQ(model.NonlinearSpringCount(), 3);
    const NonlinearSpring* stored = model.FindNonlinearSpring("Medium");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->deformations, (std::vector<double>{0, 0.5}));
    EXPECT_EQ(stored->forces, (std::vector<double>{0, 20}));
    EXPECT_EQ(ListItems(d, S::IDC_PROFILE_LIST).back(), "Medium");
    EXPECT_FALSE(Enabled(d, S::IDC_SAVE));
    EXPECT_FALSE(Visible(d, S::IDC_ADD_ROW));
    EXPECT_TRUE(model.IsChanged());
}

TEST_F(SpringTest, TwentyPointsScrollInAWindowOfFourteen) {
    S d(&doc, &view);
    Open(d);
    NewWithPoints(d, 20);
    const auto* bar = d.Get<ui::ScrollBar>(S::IDC_SCROLL);
    EXPECT_TRUE(bar->IsWindowVisible());
    EXPECT_EQ(bar->GetMin(), 0);
    EXPECT_EQ(bar->GetMax(), 6);
    EXPECT_EQ(d.FirstVisiblePoint(), 6);  // the last point added is in view
    EXPECT_EQ(d.GetDlgItemText(S::RowLabelId(1)), "7");
    EXPECT_EQ(d.GetDlgItemText(S::RowLabelId(14)), "20");
    EXPECT_EQ(d.GetDlgItemText(S::DeformationId(14)), "19");
    d.UserScroll(S::IDC_SCROLL, ui::sb::PageUp);
    EXPECT_EQ(d.FirstVisiblePoint(), 0);
    EXPECT_EQ(d.GetDlgItemText(S::ForceId(2)), "10");
    d.UserScroll(S::IDC_SCROLL, ui::sb::Bottom);
    EXPECT_EQ(d.FirstVisiblePoint(), 6);
    // Insert with the focus on row 3 of the window from point 7: the zero
    // point follows point 9.
    d.UserFocus(S::DeformationId(3));
    d.UserClick(S::IDC_INSERT_ROW);
    ASSERT_EQ(d.WorkingProfile()->deformations.size(), 21u);
    EXPECT_EQ(d.WorkingProfile()->deformations[9], 0.0);
    EXPECT_EQ(d.WorkingProfile()->deformations[8], 8.0);
    d.UserFocus(S::DeformationId(4));
    d.UserClick(S::IDC_DELETE_ROW);
    EXPECT_EQ(d.WorkingProfile()->deformations[9], 9.0);
    EXPECT_EQ(d.CurrentRow(), 0);
    d.UserClick(S::IDC_SAVE);
    ASSERT_NE(model.FindNonlinearSpring("New Data Profile 3"), nullptr);
    EXPECT_EQ(model.FindNonlinearSpring("New Data Profile 3")->forces[19], 190.0);
}

TEST_F(SpringTest, FileOfPairsFillsTheProfileAndABadLineKeepsIt) {
    S d(&doc, &view);
    Open(d);
    d.UserClick(S::IDC_NEW);
    SpringFile good("0 0\n0.01 100\n0.02 150\n");
    driver.ExpectFileDialog(good.Path());
    d.UserClick(S::IDC_OPEN_FILE);
    ASSERT_EQ(driver.FileDialogs().size(), 1u);
    const auto& filters = driver.FileDialogs()[0].request.filters;
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].patterns, std::vector<std::string>{"*.txt"});
    EXPECT_EQ(d.WorkingProfile()->forces, (std::vector<double>{0, 100, 150}));
    EXPECT_EQ(d.CurrentRow(), 3);
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(S::DeformationId(3)));
    EXPECT_FALSE(Visible(d, S::IDC_OPEN_FILE));
    EXPECT_FALSE(Visible(d, S::RowLabelId(4)));

    SpringFile bad("0 0\n0.5\n");
    driver.ExpectFileDialog(bad.Path());
    d.OnBnClickedOpenFile();  // the button is hidden once a file was read
    EXPECT_EQ(LastBox(), "Error:\n Fail to read external nonlinear spring data");
    EXPECT_EQ(d.WorkingProfile()->forces, (std::vector<double>{0, 100, 150}));
}

// A cell that does not read as a number keeps the focus when a button is
// clicked: one message, and the button does nothing.
TEST_F(SpringTest, AnUnreadableCellStopsAButtonWithOneMessage) {
    S d(&doc, &view);
    Open(d);
    d.UserSelect(S::IDC_PROFILE_LIST, 0);
    d.UserType(S::DeformationId(2), "1,5");
    d.UserClick(S::IDC_ADD_ROW);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Please enter a number."});
    EXPECT_EQ(d.GetFocus(), d.GetDlgItem(S::DeformationId(2)));
    EXPECT_FALSE(Visible(d, S::DeformationId(4)));
}

TEST_F(SpringTest, SelectedProfileGoesToTheCompactChartAndEditsEnableUpdate) {
    S d(&doc, &view);
    Open(d);
    EXPECT_EQ(ListItems(d, S::IDC_PROFILE_LIST), (std::vector<std::string>{"Soft", "Stiff"}));
    d.UserSelect(S::IDC_PROFILE_LIST, 0);
    EXPECT_TRUE(Visible(d, S::IDC_CHART));
    const CCurvePlot& chart = d.Chart();
    EXPECT_EQ(chart.PlotMode(), 1);
    EXPECT_EQ(chart.LineColor(), ui::Color{255});
    EXPECT_EQ(chart.LineWidth(), 2);
    EXPECT_EQ(chart.PointCount(), 3);
    EXPECT_EQ(chart.YValues(), (std::vector<double>{0, 100, 150}));
    EXPECT_EQ(d.GetDlgItemText(S::IDC_NAME), "Soft");
    EXPECT_EQ(d.GetDlgItemText(ui::IDCANCEL), "Close");

    d.UserType(S::ForceId(2), "120");
    d.UserFocus(S::ForceId(3));
    EXPECT_TRUE(Enabled(d, S::IDC_UPDATE));
    EXPECT_EQ(d.GetDlgItemText(ui::IDCANCEL), "Cancel");
    d.UserType(S::ForceId(2), "100");
    d.UserFocus(S::ForceId(1));
    EXPECT_EQ(d.GetDlgItemText(ui::IDCANCEL), "Close");

    d.UserType(S::ForceId(2), "120");
    d.UserType(S::IDC_NAME, "Stiff");
    d.UserClick(S::IDC_UPDATE);
    EXPECT_EQ(LastBox(), "Error: \n Same name already exists.");
    d.UserType(S::IDC_NAME, "Softer");
    d.UserClick(S::IDC_UPDATE);
    EXPECT_EQ(model.NonlinearSpringName(0), "Softer");
    EXPECT_EQ(model.NonlinearSpringAt(0)->forces[1], 120.0);
    EXPECT_EQ(d.SelectedIndex(), -1);
    EXPECT_FALSE(Visible(d, S::IDC_CHART));
}

TEST_F(SpringTest, OkAsksAndARefusedStoreKeepsTheDialogOpen) {
    S d(&doc, &view);
    Open(d);
    TypePoints(d, {{0, 0}, {0, 5}});
    driver.ExpectMessageBox(ui::IDOK, "Data have been changed. Save data before exit?");
    d.UserClick(ui::IDOK);
    EXPECT_EQ(LastBox(), "Error: \n Repeated defomrations are not allowed.");
    EXPECT_FALSE(d.IsEnded());
    driver.ExpectMessageBox(ui::IDCANCEL, "Data have been changed. Save data before exit?");
    d.UserClick(ui::IDOK);
    EXPECT_TRUE(d.IsEnded());
    EXPECT_EQ(model.NonlinearSpringCount(), 2);
    EXPECT_EQ(d.WorkingProfile(), nullptr);
}

TEST_F(SpringTest, DeleteAsksAndRemovesTheSelectedProfile) {
    S d(&doc, &view);
    Open(d);
    d.UserSelect(S::IDC_PROFILE_LIST, 1);
    driver.ExpectMessageBox(ui::IDNO, "Delete Nonlinear Spring?");
    d.UserClick(S::IDC_DELETE);
    EXPECT_EQ(model.NonlinearSpringCount(), 2);
    EXPECT_FALSE(doc.modifiedFlag);
    driver.ExpectMessageBox(ui::IDYES, "Delete Nonlinear Spring?");
    d.UserClick(S::IDC_DELETE);
    EXPECT_EQ(model.NonlinearSpringNames(), (std::vector<std::string>{"Soft"}));
    EXPECT_EQ(ListItems(d, S::IDC_PROFILE_LIST), (std::vector<std::string>{"Soft"}));
    EXPECT_TRUE(doc.modifiedFlag);
}

}  // namespace
