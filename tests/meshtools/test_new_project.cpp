// New from template, headless: the slab-type dialog, the template dialog with
// its checks and shape controls, the grid-line dialog, and the whole chain
// from the defaults to a saved and re-read model.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <tuple>
#include <string>
#include <utility>
#include <vector>

#include "../model/test_slb_support.h"
#include "GridLineTables.h"
#include "meshtools/ui/DlgGrid.h"
#include "meshtools/ui/DlgNewTemplate.h"
#include "meshtools/ui/DlgSlabType.h"
#include "meshtools/ui/NewProject.h"
#include "meshtools/ui/TemplateSketch.h"
#include "model/ModelData.h"
#include "platform/ui/HeadlessTest.h"

namespace {

using T = DlgNewTemplate;

class FakeDoc : public DocHost {
public:
    FakeDoc() { model.Reset(); }
    ModelData* GetModelData() const override { return const_cast<ModelData*>(&model); }
    void SetModifiedFlag(bool m) override { modified = m; }
    void UpdateAllViews() override { ++updates; }
    ModelData model;
    bool modified = false;
    int updates = 0;
};

using meshtest::FillGrid;
using meshtest::Span;

std::vector<std::pair<int, double>> GridRows(const ModelData& m, int direction) {
    std::vector<std::pair<int, double>> rows;
    for (const NodeRow* r = m.GetGridTable(direction)->GetHead(); r; r = r->next) rows.emplace_back(r->id, r->x);
    return rows;
}

struct MeshParameters {
    int kind;
    double lx, ly;
    int nx, ny, type;
    bool operator==(const MeshParameters&) const = default;
};

MeshParameters ParametersOf(const ModelData& m) {
    MeshParameters p{};
    m.GetMeshParameters(p.kind, p.lx, p.ly, p.nx, p.ny, p.type);
    return p;
}

int FocusId(const ui::Dialog& d) { return d.GetFocus() ? d.GetFocus()->GetDlgCtrlID() : 0; }

class NewProjectTest : public ui::HeadlessTest {
protected:
    // Runs the dialog modally with the script.
    int Run(ui::Dialog& dialog, std::function<void(ui::Dialog&)> script) {
        driver.ExpectModal(std::move(script), dialog.TemplateId());
        return dialog.DoModal();
    }
    std::string LastBox() const {
        return driver.MessageBoxes().empty() ? std::string() : driver.MessageBoxes().back().text;
    }
    FakeDoc doc;
    ModelData& model = doc.model;
};

// ---------------------------------------------------------------------------
// The chain

TEST_F(NewProjectTest, DefaultsGiveTheMeshedSlabThatSavesAndReadsBack) {
    model.SetSoilModel(1);
    driver.ExpectModal(
        [](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "Slab Type");
            EXPECT_EQ(d.IsDlgButtonChecked(CDlgSlabType::IDC_CONVENTIONAL), 1);
            EXPECT_EQ(d.GetDlgItemText(ui::IDOK), "Next");
            EXPECT_EQ(d.GetDlgItem(ui::IDCANCEL), nullptr);
            d.UserClick(ui::IDOK);
        },
        CDlgSlabType::kTemplateId);
    driver.ExpectModal(
        [](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "New Project from Template");
            EXPECT_EQ(d.GetDlgItemText(T::IDC_CAPTION), "Rectangular - Equally Spaced");
            EXPECT_EQ(d.IsDlgButtonChecked(T::IDC_EQUAL_SPACING), 1);
            EXPECT_EQ(d.IsDlgButtonChecked(T::IDC_QUADRATIC8), 1);
            EXPECT_EQ(d.GetDlgItemText(T::IDC_LENGTH), "1");
            EXPECT_EQ(d.GetDlgItemText(T::IDC_WIDTH), "1");
            EXPECT_EQ(d.GetDlgItemText(T::IDC_DIVISIONS1), "5");
            EXPECT_EQ(d.GetDlgItemText(T::IDC_DIVISIONS2), "5");
            EXPECT_FALSE(d.Get<ui::Picture>(T::IDC_SKETCH)->GetImage().Empty());
            d.UserClick(ui::IDOK);
        },
        DlgNewTemplate::kTemplateId);
    int foundations = 0;
    EXPECT_TRUE(RunNewFromSlabType(doc, [&](int) { ++foundations; }));
    EXPECT_EQ(foundations, 0);
    EXPECT_TRUE(doc.modified);
    EXPECT_GE(doc.updates, 3);
    EXPECT_EQ(model.GetSoilModel(), 0);

    ASSERT_EQ(model.GetNodeCount(), 96);
    const ElementTable* e = model.GetElementTable();
    ASSERT_EQ(e->GetCount(), 25);
    EXPECT_EQ(e->GetRowField0At(0), (std::vector<int>{1, 3, 20, 18, 2, 13, 19, 12}));
    EXPECT_EQ(e->GetRowField0At(24), (std::vector<int>{77, 79, 96, 94, 78, 85, 95, 84}));
    for (int i = 0; i < 25; ++i) EXPECT_EQ(e->GetElementMaterial(i), 1);
    const NodeTable* n = model.GetNodeTable();
    EXPECT_NEAR(n->GetY(0), -0.5, 1e-12);
    EXPECT_NEAR(n->GetZ(0), 0.5, 1e-12);
    EXPECT_NEAR(n->GetY(95), 0.5, 1e-12);
    EXPECT_NEAR(n->GetZ(95), -0.5, 1e-12);
    const MaterialRow* mat = model.GetMaterialTable()->GetRow(0);
    EXPECT_EQ(model.GetMaterialTable()->GetCount(), 1);
    EXPECT_EQ(std::make_tuple(mat->element, mat->type, mat->E, mat->Es, mat->nu, mat->thickness),
              std::make_tuple(std::string("ALL"), 0, 2000.0, 2000.0, 0.3, 1.0));
    const CutLineTable* cuts = model.GetCutLineDataTable();
    ASSERT_EQ(cuts->GetCount(), 2);
    EXPECT_NEAR(cuts->GetStartY(0), -0.6, 1e-12);
    EXPECT_NEAR(cuts->GetEndY(0), 0.6, 1e-12);
    EXPECT_NEAR(cuts->GetStartZ(1), -0.6, 1e-12);
    EXPECT_NEAR(cuts->GetEndZ(1), 0.6, 1e-12);
    EXPECT_EQ(cuts->GetInterpolationOption(), 1);
    EXPECT_EQ(cuts->GetSegmentDivisionCode(), 2);

    slbtest::ScratchDir dir;
    const std::string path = dir.File("slab.slb");
    ASSERT_EQ(model.WriteModelFile(path), 0);
    ModelData back;
    ASSERT_EQ(back.ReadModelFile(path, true), 0);
    // The file keeps six significant digits: the slab's coordinates (steps of
    // 0.05) come back to rounding.
    ASSERT_EQ(back.GetNodeCount(), 96);
    for (int i = 0; i < 96; ++i) {
        EXPECT_EQ(back.GetNodeTable()->GetNodeId(i), i + 1);
        EXPECT_NEAR(back.GetNodeTable()->GetY(i), n->GetY(i), 1e-12);
        EXPECT_NEAR(back.GetNodeTable()->GetZ(i), n->GetZ(i), 1e-12);
        EXPECT_EQ(back.GetNodeTable()->GetX(i), 0.0);
    }
    EXPECT_FALSE(back.GetElementTable()->CompareElementTable(*model.GetElementTable()));
    EXPECT_FALSE(back.GetMaterialTable()->CompareMaterialTable(*model.GetMaterialTable()));
    EXPECT_EQ(back.GetElementTable()->GetNodesPerElement(), 8);
    EXPECT_EQ(back.edgeFlags, model.edgeFlags);
    const CutLineTable* backCuts = back.GetCutLineDataTable();
    ASSERT_EQ(backCuts->GetCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(backCuts->GetStartY(i), cuts->GetStartY(i), 1e-12);
        EXPECT_NEAR(backCuts->GetStartZ(i), cuts->GetStartZ(i), 1e-12);
        EXPECT_NEAR(backCuts->GetEndY(i), cuts->GetEndY(i), 1e-12);
        EXPECT_NEAR(backCuts->GetEndZ(i), cuts->GetEndZ(i), 1e-12);
    }
    EXPECT_EQ(backCuts->GetInterpolationOption(), 1);
    EXPECT_EQ(backCuts->GetSegmentDivisionCode(), 2);
    EXPECT_EQ(back.GetSoilModel(), 0);
}

TEST_F(NewProjectTest, SlabTypeEndsWithoutEffectOnEscapeAndTheCloseBox) {
    const std::pair<const char*, std::function<void(ui::Dialog&)>> ways[] = {
        {"escape", [](ui::Dialog& d) { d.UserKey(ui::key::Escape); }},
        {"close box", [](ui::Dialog& d) { d.UserClose(); }},
    };
    for (const auto& [what, end] : ways) {
        SCOPED_TRACE(what);
        driver.ExpectModal(end, CDlgSlabType::kTemplateId);
        int foundations = 0;
        EXPECT_FALSE(RunNewFromSlabType(doc, [&](int) { ++foundations; }));
        EXPECT_EQ(foundations, 0);
        EXPECT_FALSE(doc.modified);
        EXPECT_EQ(model.GetNodeCount(), 0);
        EXPECT_TRUE(driver.MessageBoxes().empty());
    }
}

TEST_F(NewProjectTest, NextForAFoundationCallsTheFoundationTemplate) {
    for (int kind : {1, 2}) {
        SCOPED_TRACE(kind);
        doc.modified = false;
        driver.ExpectModal(
            [kind](ui::Dialog& d) {
                d.UserClick(CDlgSlabType::IDC_CONVENTIONAL + kind);
                d.UserKey(ui::key::Enter);  // "Next" is the default button
            },
            CDlgSlabType::kTemplateId);
        std::vector<int> calls;
        EXPECT_TRUE(RunNewFromSlabType(doc, [&](int k) { calls.push_back(k); }));
        EXPECT_EQ(calls, std::vector<int>{kind});
        EXPECT_TRUE(doc.modified);
        EXPECT_EQ(model.GetNodeCount(), 0);
    }
}

TEST_F(NewProjectTest, CancelledTemplateLeavesTheModelAlone) {
    driver.ExpectModal([](ui::Dialog& d) { d.UserClick(ui::IDCANCEL); }, DlgNewTemplate::kTemplateId);
    EXPECT_FALSE(RunNewFromTemplate(doc));
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(model.GetNodeCount(), 0);
    EXPECT_EQ(ParametersOf(model), (MeshParameters{1, 1.0, 1.0, 5, 5, 1}));
}

// ---------------------------------------------------------------------------
// The template dialog

struct RefusedCase {
    const char* what;
    std::vector<int> clicks;
    std::vector<std::pair<int, std::string>> typed;
    std::vector<Span> grid1;
    const char* message;
    int focus;
};

TEST_F(NewProjectTest, TemplateRefusesValuesThatGiveNoSlab) {
    const std::vector<RefusedCase> cases = {
        {"circular without a diameter",
         {T::IDC_CIRCULAR},
         {{T::IDC_LENGTH, "0"}},
         {},
         "Diameter must be greater than 0.0",
         T::IDC_LENGTH},
        {"circular without divisions",
         {T::IDC_CIRCULAR},
         {{T::IDC_LENGTH, "4"}, {T::IDC_DIVISIONS1, "0"}},
         {},
         "Number of defined divisions must be greater than 0",
         T::IDC_DIVISIONS1},
        {"rectangle of negative length",
         {},
         {{T::IDC_LENGTH, "-1"}},
         {},
         "Lenght must be greater than 0.0",
         T::IDC_LENGTH},
        {"rectangle without divisions",
         {},
         {{T::IDC_DIVISIONS1, "0"}},
         {},
         "Number of divisions in X-direction must be greater than 0",
         T::IDC_DIVISIONS1},
        {"general spacing without spans",
         {T::IDC_GENERAL_SPACING},
         {},
         {},
         "At least Grid in the X-direction must be defined",
         T::IDC_GRID_Y},
        {"20000 x 20000 divisions",
         {T::IDC_LINEAR4},
         {{T::IDC_DIVISIONS1, "20000"}, {T::IDC_DIVISIONS2, "20000"}},
         {},
         "Number of divisions is too large",
         T::IDC_DIVISIONS1},
        {"circular, 9 nodes, 5000 divisions",
         {T::IDC_CIRCULAR, T::IDC_QUADRATIC9},
         {{T::IDC_DIVISIONS1, "5000"}},
         {},
         "Number of divisions is too large",
         T::IDC_DIVISIONS1},
        {"general spacing beyond 32 bits",
         {T::IDC_GENERAL_SPACING},
         {},
         {{2000000000, 1.0}, {2000000000, 1.0}},
         "Number of divisions is too large",
         T::IDC_GRID_Y},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.what);
        FakeDoc fresh;
        FillGrid(fresh.model, 1, c.grid1);
        DlgNewTemplate dialog(&fresh.model);
        driver.ClearLogs();
        Run(dialog, [&](ui::Dialog& d) {
            for (int id : c.clicks) d.UserClick(id);
            for (const auto& [id, text] : c.typed) d.UserType(id, text);
            d.UserClick(ui::IDOK);
            ASSERT_EQ(driver.MessageBoxes().size(), 1u);
            EXPECT_EQ(LastBox(), c.message);
            EXPECT_EQ(driver.MessageBoxes().back().buttons, ui::Buttons::Ok);
            EXPECT_FALSE(d.IsEnded());
            for (const auto& [id, text] : c.typed) EXPECT_EQ(d.GetDlgItemText(id), text);
            EXPECT_EQ(FocusId(d), c.focus);
            d.UserClick(ui::IDCANCEL);
        });
        EXPECT_EQ(ParametersOf(fresh.model), (MeshParameters{1, 1.0, 1.0, 5, 5, 1}));
    }
}

struct StoredCase {
    const char* what;
    std::vector<int> clicks;
    std::vector<std::pair<int, std::string>> typed;
    std::vector<Span> grid1;
    MeshParameters want;
    int wantNodesPerElement;
};

TEST_F(NewProjectTest, TemplateStoresWhatTheShapeNeeds) {
    const std::vector<StoredCase> cases = {
        {"width 0 and second count 0 take the first",
         {T::IDC_LINEAR4},
         {{T::IDC_LENGTH, "3"}, {T::IDC_WIDTH, "0"}, {T::IDC_DIVISIONS1, "4"}, {T::IDC_DIVISIONS2, "0"}},
         {},
         {1, 3.0, 3.0, 4, 4, 0},
         4},
        {"circular ignores what the hidden fields held",
         {},
         {{T::IDC_WIDTH, "7"}, {T::IDC_DIVISIONS2, "9"}},
         {},
         {0, 10.0, 10.0, 6, 6, 2},
         9},
        {"general spacing: the sums, direction 2 from direction 1",
         {T::IDC_GENERAL_SPACING},
         {},
         {{2, 2.0}, {1, 4.0}},
         {2, 6.0, 6.0, 3, 3, 1},
         8},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(c.what);
        FakeDoc fresh;
        FillGrid(fresh.model, 1, c.grid1);
        DlgNewTemplate dialog(&fresh.model);
        const bool circular = c.want.kind == 0;
        const int result = Run(dialog, [&](ui::Dialog& d) {
            for (int id : c.clicks) d.UserClick(id);
            for (const auto& [id, text] : c.typed) d.UserType(id, text);
            if (circular) {
                d.UserClick(T::IDC_CIRCULAR);
                d.UserClick(T::IDC_QUADRATIC9);
                d.UserType(T::IDC_LENGTH, "10");
                d.UserType(T::IDC_DIVISIONS1, "6");
            }
            d.UserClick(ui::IDOK);
        });
        EXPECT_EQ(result, ui::IDOK);
        EXPECT_TRUE(driver.MessageBoxes().empty()) << LastBox();
        EXPECT_EQ(ParametersOf(fresh.model), c.want);
        EXPECT_EQ(fresh.model.nodesPerElement, c.wantNodesPerElement);
    }
}

TEST_F(NewProjectTest, ShapeControlsAndSketchFollowShapeAndElementType) {
    struct Case {
        int shape;
        const char* caption;
        const char* lengthLabel;
        std::set<int> shown;  // of the controls that come and go
        bool fieldsEnabled;
    };
    const std::set<int> comeAndGo = {T::IDC_GRID_Y,      T::IDC_GRID_Z,     T::IDC_WIDTH,
                                     T::IDC_WIDTH_LABEL, T::IDC_DIVISIONS2, T::IDC_DIVISIONS2_LABEL,
                                     T::IDC_Y_DIRECTION, T::IDC_Z_DIRECTION};
    const Case cases[] = {
        {0, "Circular", "Diameter", {}, true},
        {1,
         "Rectangular - Equally Spaced",
         "Length",
         {T::IDC_WIDTH, T::IDC_WIDTH_LABEL, T::IDC_DIVISIONS2, T::IDC_DIVISIONS2_LABEL, T::IDC_Y_DIRECTION,
          T::IDC_Z_DIRECTION},
         true},
        {2,
         "Rectangular - General Spacing",
         "Length",
         {T::IDC_GRID_Y, T::IDC_GRID_Z, T::IDC_WIDTH, T::IDC_WIDTH_LABEL, T::IDC_DIVISIONS2, T::IDC_DIVISIONS2_LABEL},
         false},
    };
    std::vector<std::vector<std::uint8_t>> sketches;
    DlgNewTemplate dialog(&model);
    Run(dialog, [&](ui::Dialog& d) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.caption);
            for (int type = 0; type < 3; ++type) {
                d.UserClick(T::IDC_CIRCULAR + c.shape);
                d.UserClick(T::IDC_LINEAR4 + type);
                EXPECT_EQ(d.GetDlgItemText(T::IDC_CAPTION), c.caption);
                EXPECT_EQ(d.GetDlgItemText(T::IDC_LENGTH_LABEL), c.lengthLabel);
                EXPECT_EQ(d.GetDlgItemText(T::IDC_DIVISIONS_LABEL), "Number of divisions");
                for (int id : comeAndGo) EXPECT_EQ(d.GetDlgItem(id)->IsShown(), c.shown.count(id) == 1) << id;
                for (int id : {T::IDC_LENGTH, T::IDC_DIVISIONS1}) EXPECT_TRUE(d.GetDlgItem(id)->IsShown()) << id;
                for (int id : {T::IDC_LENGTH, T::IDC_WIDTH, T::IDC_DIVISIONS1, T::IDC_DIVISIONS2})
                    EXPECT_EQ(d.GetDlgItem(id)->IsWindowEnabled(), c.fieldsEnabled) << id;
                const ui::Image& image = d.Get<ui::Picture>(T::IDC_SKETCH)->GetImage();
                EXPECT_FALSE(image.Empty());
                // Ink of every colour the sketch draws.
                std::set<ui::Color> colours;
                for (size_t p = 0; p + 2 < image.rgb.size(); p += 3)
                    colours.insert(ui::Rgb(image.rgb[p], image.rgb[p + 1], image.rgb[p + 2]));
                EXPECT_TRUE(colours.count(sketch::kCorner) && colours.count(sketch::kEdge));
                EXPECT_EQ(colours.count(sketch::kMidSide) == 1, type > 0);
                EXPECT_EQ(colours.count(sketch::kCentre) == 1, type == 2);
                sketches.push_back(image.rgb);
            }
        }
        d.UserClick(ui::IDCANCEL);
    });
    EXPECT_EQ(std::set<std::vector<std::uint8_t>>(sketches.begin(), sketches.end()).size(), 9u);
}

// ---------------------------------------------------------------------------
// The grid-line dialog

TEST_F(NewProjectTest, GridTitlesAndAddSpan) {
    for (int direction : {1, 2}) {
        FillGrid(model, direction, {{4, 1.5}, {2, 1.0}});
        DlgGrid grid(&model, direction);
        Run(grid, [&](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), direction == 1 ? "Grid X direction" : "Grid Y direction");
            EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_COUNT), "2");
            EXPECT_EQ(FocusId(d), DlgGrid::IDC_DIVISIONS);  // the first Divisions cell is current
            EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_TOTAL + 1), "2.5");
            EXPECT_FALSE(d.GetDlgItem(DlgGrid::IDC_TOTAL)->IsWindowEnabled());
            EXPECT_FALSE(d.GetDlgItem(DlgGrid::IDC_DIVISIONS + 2)->IsShown());
            d.UserClick(DlgGrid::IDC_ADD_SPAN);
            EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_COUNT), "3");
            EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_ROW + 2), "3");
            EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_DIVISIONS + 2), "5");
            EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_SPAN + 2), "0");
            EXPECT_EQ(FocusId(d), DlgGrid::IDC_DIVISIONS + 2);
            d.UserClick(ui::IDCANCEL);
        });
        EXPECT_EQ(GridRows(model, direction), (std::vector<std::pair<int, double>>{{4, 1.5}, {2, 1.0}}));
    }
}

TEST_F(NewProjectTest, GridShowsRunningTotalsAndOkStoresTheSpans) {
    DlgGrid grid(&model, 1);
    const int result = Run(grid, [&](ui::Dialog& d) {
        EXPECT_EQ(FocusId(d), DlgGrid::IDC_ADD_SPAN);  // no rows: no current cell
        EXPECT_FALSE(d.GetDlgItem(DlgGrid::IDC_DELETE_SPAN)->IsWindowEnabled());
        EXPECT_FALSE(d.GetDlgItem(DlgGrid::IDC_INSERT_SPAN)->IsWindowEnabled());
        for (int i = 0; i < 3; ++i) d.UserClick(DlgGrid::IDC_ADD_SPAN);
        EXPECT_TRUE(d.GetDlgItem(DlgGrid::IDC_DELETE_SPAN)->IsWindowEnabled());
        d.UserType(DlgGrid::IDC_SPAN + 0, "2.0");
        d.UserType(DlgGrid::IDC_SPAN + 1, "3.0");
        d.UserType(DlgGrid::IDC_SPAN + 2, "5.0");
        d.UserType(DlgGrid::IDC_DIVISIONS + 2, "4");
        d.UserKey(ui::key::Tab);  // a move validates the page
        EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_TOTAL + 0), "2");
        EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_TOTAL + 1), "5");
        EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_TOTAL + 2), "10");
        EXPECT_EQ(FocusId(d), DlgGrid::IDC_SPAN + 2);  // Tab passes over nothing but the disabled total
        d.UserClick(ui::IDOK);
    });
    EXPECT_EQ(result, ui::IDOK);
    EXPECT_EQ(GridRows(model, 1), (std::vector<std::pair<int, double>>{{1, 2.0}, {2, 3.0}, {4, 5.0}}));
    EXPECT_EQ(model.GetGridTable(1)->GetY(2), 10.0);
    EXPECT_EQ(model.SumTableCounts(1), 7);
}

TEST_F(NewProjectTest, GridRefusesSpansWithoutDivisionsOrLengthAtOk) {
    struct Case {
        const char* what;
        std::vector<Span> spans;
        std::string message;
        int wantFirst, wantLine, wantCell;
    };
    std::vector<Span> twelve(12, Span{1, 1.0});
    twelve[11] = {1, -2.0};
    const Case cases[] = {
        {"no divisions",
         {{2, 1.0}, {0, 1.0}},
         " Number of divisions must be between 1 and 100000000\n Check row 2",
         0,
         2,
         DlgGrid::IDC_DIVISIONS + 1},
        {"too many divisions",
         {{100000001, 1.0}},
         " Number of divisions must be between 1 and 100000000\n Check row 1",
         0,
         1,
         DlgGrid::IDC_DIVISIONS},
        {"no length", {{3, 0.0}}, " Span length must be greater than 0.0\n Check row 1", 0, 1, DlgGrid::IDC_SPAN},
        {"below the page", twelve, " Span length must be greater than 0.0\n Check row 12", 2, 10,
         DlgGrid::IDC_SPAN + 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeDoc fresh;
        FillGrid(fresh.model, 2, c.spans);
        DlgGrid grid(&fresh.model, 2);
        driver.ClearLogs();
        Run(grid, [&](ui::Dialog& d) {
            d.UserClick(ui::IDOK);
            EXPECT_EQ(LastBox(), c.message);
            EXPECT_EQ(driver.MessageBoxes().back().icon, ui::Icon::None);
            EXPECT_FALSE(d.IsEnded());
            EXPECT_EQ(grid.m_firstVisibleRow, c.wantFirst);
            EXPECT_EQ(grid.m_currentRow, c.wantLine);
            EXPECT_EQ(FocusId(d), c.wantCell);
            // Mended in place, OK stores the table.
            d.UserType(c.wantCell, "1");
            d.UserClick(ui::IDOK);
            EXPECT_TRUE(d.IsEnded());
        });
        EXPECT_EQ(fresh.model.GetGridTable(2)->GetCount(), static_cast<int>(c.spans.size()));
    }
}

TEST_F(NewProjectTest, GridInsertDeleteAndScrolling) {
    FillGrid(model, 1, std::vector<Span>(11, Span{1, 1.0}));
    DlgGrid grid(&model, 1);
    Run(grid, [&](ui::Dialog& d) {
        auto* bar = d.Get<ui::ScrollBar>(DlgGrid::IDC_SCROLL);
        EXPECT_TRUE(bar->IsShown());
        EXPECT_EQ(bar->GetMax(), 1);
        d.UserClick(DlgGrid::IDC_ADD_SPAN);  // row 12 with 2 divisions, shown in the last line
        EXPECT_EQ(bar->GetMax(), 2);
        EXPECT_EQ(bar->GetScrollPos(), 2);
        EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_ROW + 9), "12");
        EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_DIVISIONS + 9), "2");
        d.UserType(DlgGrid::IDC_SPAN + 9, "1.5");
        d.UserKey(ui::key::Home);
        EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_ROW), "1");
        d.UserFocus(DlgGrid::IDC_SPAN + 1);     // row 2
        d.UserClick(DlgGrid::IDC_INSERT_SPAN);  // before it: 3 divisions, length 0
        EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_COUNT), "13");
        EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_DIVISIONS + 1), "3");
        EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_TOTAL + 1), "1");
        EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_TOTAL + 2), "2");
        d.UserClick(DlgGrid::IDC_DELETE_SPAN);  // the new row goes again
        d.UserClick(DlgGrid::IDC_DELETE_SPAN);  // and the one after it
        EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_COUNT), "11");
        EXPECT_EQ(d.GetDlgItemText(DlgGrid::IDC_TOTAL + 1), "2");
        d.UserClick(ui::IDOK);
    });
    EXPECT_EQ(model.GetGridTable(1)->GetCount(), 11);
    EXPECT_EQ(model.SumTableCounts(1), 12);
}

TEST_F(NewProjectTest, GridButtonsOfTheTemplateTakeTheSums) {
    DlgNewTemplate dialog(&model);
    const int result = Run(dialog, [&](ui::Dialog& d) {
        d.UserClick(T::IDC_GENERAL_SPACING);
        EXPECT_EQ(d.GetDlgItemText(T::IDC_LENGTH), "0");
        driver.ExpectModal(
            [](ui::Dialog& g) {
                g.UserClick(DlgGrid::IDC_ADD_SPAN);
                g.UserType(DlgGrid::IDC_DIVISIONS, "2");
                g.UserType(DlgGrid::IDC_SPAN, "2.0");
                g.UserClick(DlgGrid::IDC_ADD_SPAN);
                g.UserType(DlgGrid::IDC_DIVISIONS + 1, "1");
                g.UserType(DlgGrid::IDC_SPAN + 1, "4.0");
                g.UserClick(ui::IDOK);
            },
            DlgGrid::kTemplateId);
        d.UserClick(T::IDC_GRID_Y);
        EXPECT_EQ(d.GetDlgItemText(T::IDC_LENGTH), "6");
        EXPECT_EQ(d.GetDlgItemText(T::IDC_DIVISIONS1), "3");
        driver.ExpectModal(
            [](ui::Dialog& g) {
                g.UserClick(DlgGrid::IDC_ADD_SPAN);
                g.UserType(DlgGrid::IDC_SPAN, "9.0");
                g.UserClick(ui::IDCANCEL);
            },
            DlgGrid::kTemplateId);
        d.UserClick(T::IDC_GRID_Z);
        EXPECT_EQ(d.GetDlgItemText(T::IDC_WIDTH), "0");
        EXPECT_EQ(d.GetDlgItemText(T::IDC_DIVISIONS2), "0");
        d.UserClick(ui::IDCANCEL);
    });
    EXPECT_EQ(result, ui::IDCANCEL);
    // The grid dialog's OK stored its table; the cancelled template stored nothing.
    EXPECT_EQ(GridRows(model, 1), (std::vector<std::pair<int, double>>{{2, 2.0}, {1, 4.0}}));
    EXPECT_EQ(model.GetGridTable(2)->GetCount(), 0);
    EXPECT_EQ(ParametersOf(model), (MeshParameters{1, 1.0, 1.0, 5, 5, 1}));
}

TEST_F(NewProjectTest, GridLinesChainToTheirMesh) {
    FillGrid(model, 1, {{2, 2.0}, {1, 4.0}});
    driver.ExpectModal(
        [](ui::Dialog& d) {
            d.UserClick(T::IDC_GENERAL_SPACING);
            d.UserClick(T::IDC_QUADRATIC9);
            d.UserClick(ui::IDOK);
        },
        DlgNewTemplate::kTemplateId);
    EXPECT_TRUE(RunNewFromTemplate(doc));
    EXPECT_EQ(model.GetNodeCount(), 49);
    EXPECT_EQ(model.GetElementCount(), 9);
    EXPECT_EQ(model.GetElementTable()->GetIntegrationOrder1(), 3);
    EXPECT_TRUE(doc.modified);
}

}  // namespace
