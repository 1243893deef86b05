// New from template with the real libraries, headless through the document's
// chain: the slab-type dialog, the template dialog, the mesher library, the
// import, a save and read, and an analysis with the solver library.
//
// The foundations need the free quadrilateral mesher for their free regions;
// while the mesher library reports those regions as not meshed, these tests
// are skipped with that reason.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "../model/test_slb_support.h"
#include "FoundationDoc.h"
#include "TemplateSupport.h"
#include "app/run/AnalysisRun.h"
#include "meshtools/ui/DlgSlabType.h"
#include "meshtools/ui/DlgTemplateOctagon.h"
#include "meshtools/ui/NewProject.h"
#include "model/MaterialTable.h"
#include "model/ModelData.h"
#include "platform/ui/HeadlessTest.h"
#include "QuietRunHost.h"

namespace {

using templatetest::RecordingHost;

// Area of the elements from their corner nodes (shoelace formula).
double CornerArea(const ModelData& m) {
    std::map<int, std::array<double, 2>> at;
    for (const NodeRow* n = m.GetNodeTable()->GetHead(); n; n = n->next) at[n->id] = {n->y, n->z};
    double area = 0.0;
    const ElementTable* e = m.GetElementTable();
    for (int i = 0; i < e->GetCount(); ++i) {
        const std::vector<int>& nodes = e->GetRowField0At(i);
        double twice = 0.0;
        for (int k = 0; k < 4; ++k) {
            const auto& p = at[nodes[k]];
            const auto& q = at[nodes[(k + 1) % 4]];
            twice += p[0] * q[1] - q[0] * p[1];
        }
        area += std::fabs(twice) / 2.0;
    }
    return area;
}

// Largest interior corner angle in degrees over the elements (above 180 for
// a corner turned inward), whichever way round the elements run.
double LargestCornerAngle(const ModelData& m) {
    std::map<int, std::array<double, 2>> at;
    for (const NodeRow* n = m.GetNodeTable()->GetHead(); n; n = n->next) at[n->id] = {n->y, n->z};
    double largest = 0.0;
    const ElementTable* e = m.GetElementTable();
    for (int i = 0; i < e->GetCount(); ++i) {
        std::vector<int> nodes(e->GetRowField0At(i).begin(), e->GetRowField0At(i).begin() + 4);
        double twice = 0.0;
        for (int k = 0; k < 4; ++k) {
            const auto& p = at[nodes[k]];
            const auto& q = at[nodes[(k + 1) % 4]];
            twice += p[0] * q[1] - q[0] * p[1];
        }
        if (twice < 0.0) std::reverse(nodes.begin(), nodes.end());
        for (int k = 0; k < 4; ++k) {
            const auto& p = at[nodes[k]];
            const auto& next = at[nodes[(k + 1) % 4]];
            const auto& prev = at[nodes[(k + 3) % 4]];
            const double ux = next[0] - p[0], uy = next[1] - p[1], vx = prev[0] - p[0], vy = prev[1] - p[1];
            double angle = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy) * 180.0 / M_PI;
            if (angle <= 0.0) angle += 360.0;
            largest = std::max(largest, angle);
        }
    }
    return largest;
}

class TemplateEndToEndTest : public ui::HeadlessTest {
protected:
    void SetUp() override { ui::HeadlessTest::SetUp(); }
    void TearDown() override {
        program.reset();
        ui::HeadlessTest::TearDown();
    }

    // File > New from template, the foundation of `kind`, "Next", then the
    // template dialog's script. False (and the test skipped) while the mesher
    // leaves the free regions unmeshed.
    bool NewFoundation(int kind, std::function<void(ui::Dialog&)> fill = nullptr) {
        driver.ExpectModal(
            [kind](ui::Dialog& d) {
                d.UserClick(kind == 1 ? CDlgSlabType::IDC_OCTAGON : CDlgSlabType::IDC_CIRCULAR);
                d.UserClick(ui::IDOK);
            },
            CDlgSlabType::kTemplateId);
        driver.ExpectModal(
            [fill](ui::Dialog& d) {
                if (fill) fill(d);
                d.UserClick(ui::IDOK);
            },
            DlgTemplateOctagon::kTemplateId);
        program = std::make_unique<templatetest::FoundationDoc>(BRENNIX_BIN_DIR, host);
        RunNewFromSlabType(program->doc, [&](int type) { program->doc.NewOctagonFoundation(type); });
        EXPECT_TRUE(host.messages.empty()) << host.messages.front().first;
        return host.messages.empty();
    }
    std::vector<std::string> LeftInTmp() const { return tmp.Left(); }
    // Saves the model and runs the analysis on it.
    RunOutcome Analyse(const std::string& name, std::string& messageFile) {
        const std::string slb = files.File(name + ".slb");
        EXPECT_EQ(Model().WriteModelFile(slb), 0);
        RunOutcome outcome;
        RunAnalysis(Model(), slb, false, BRENNIX_BIN_DIR, runHost, &outcome);
        messageFile = templatetest::ReadAll(files.File(name + ".sms"));
        return outcome;
    }

    slbtest::ScratchDir files;  // made before the temporary folder moves
    templatetest::PrivateTmp tmp;
    // The program's document of the last new foundation.
    std::unique_ptr<templatetest::FoundationDoc> program;
    ModelData& Model() { return program->model(); }
    RecordingHost host;
    QuietRunHost runHost;
};

TEST_F(TemplateEndToEndTest, OctagonDefaultsGiveTheFoundationModel) {
    ASSERT_TRUE(NewFoundation(1));
    ModelData& m = Model();
    EXPECT_EQ(m.GetElementTable()->GetNodesPerElement(), 8);
    for (int i = 0; i < m.GetElementCount(); ++i) ASSERT_EQ(m.GetElementTable()->GetRowField0At(i).size(), 8u);
    const SetTable* sets = m.GetSetTable(2);
    for (const char* set : {"set_1", "set_2", "set_3", "set_4"}) {
        const int row = sets->FindRowByName(set);
        ASSERT_GE(row, 0) << set;
        const SetMemberList* members = sets->GetRowField0At(row);
        EXPECT_TRUE(members && members->GetCount() > 0) << set;
    }
    // (L1 + 2 L2)^2 less the four chamfer triangles: 55^2 - 2 * 17^2.
    EXPECT_NEAR(CornerArea(m), 2447.0, 2447.0 * 1e-9);
    std::vector<double> thicknesses;
    for (const MaterialRow* r = m.GetMaterialTable()->GetHead(); r; r = r->next) thicknesses.push_back(r->thickness);
    EXPECT_EQ(thicknesses, (std::vector<double>{10.0, 6.5, 5.25, 2.75}));
    EXPECT_EQ(m.GetSoilModel(), 2);
    const double soil[6] = {150, 250, 0.3, 200, 30, 1.0};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(m.GetSoilValue(k), soil[k]) << k;
    EXPECT_EQ(m.GetCutLineDataTable()->GetCount(), 2);
    EXPECT_TRUE(program->doc.IsModified());
    EXPECT_TRUE(LeftInTmp().empty());

    const std::string slb = files.File("octagon.slb");
    ASSERT_EQ(m.WriteModelFile(slb), 0);
    ModelData reread;
    ASSERT_EQ(reread.ReadModelFile(slb, true), 0);
    EXPECT_EQ(reread.GetTemplateKind(), 1);
    EXPECT_EQ(reread.GetElementCount(), m.GetElementCount());
}

TEST_F(TemplateEndToEndTest, CircularDefaultsCoverThePolygonOfTheOuterCircle) {
    ASSERT_TRUE(NewFoundation(2));
    // The corners on the outer circle make a 32-gon of radius 14.
    EXPECT_NEAR(CornerArea(Model()), 611.80324984, 611.80324984 * 1e-9);
    EXPECT_EQ(Model().GetTemplateKind(), 2);
    EXPECT_TRUE(LeftInTmp().empty());
}

// Sizes that once left quadrilaterals with a straight corner in the
// octagon's chamfers (Division of L1 6, 7, 9 and 10 with the default plan)
// and the extremes of the circular template's rings; a pedestal of a tenth
// of L1 and a large central disc (R2 16) at size 0.25, once refused for a
// straight corner: every corner convex and below 177 degrees. Empty
// dimensions keep the dialog's defaults.
TEST_F(TemplateEndToEndTest, FoundationsGiveOnlyConvexCornersAtEverySize) {
    struct Case {
        int kind;
        const char* size;
        const char* dims[3];
    };
    const Case cases[] = {{1, "3.5", {}},
                          {1, "3", {}},
                          {1, "2.33", {}},
                          {1, "2.1", {}},
                          {2, "3.5", {}},
                          {2, "0.9", {}},
                          {1, "0.25", {"16", "3.2", "1.6"}},
                          {2, "0.25", {"3", "16", "20"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind == 1 ? "octagon " : "circular ") + c.size + " " + (c.dims[0] ? c.dims[0] : "") +
                     " " + (c.dims[1] ? c.dims[1] : "") + " " + (c.dims[2] ? c.dims[2] : ""));
        host.messages.clear();
        // The fine meshes pass the huge-model limit: the program asks first.
        if (std::string(c.size) == "0.25") driver.ExpectMessageBox(ui::IDYES, "huge number of nodes");
        ASSERT_TRUE(NewFoundation(c.kind, [&](ui::Dialog& d) {
            const int ids[3] = {DlgTemplateOctagon::IDC_DIM1, DlgTemplateOctagon::IDC_DIM2,
                                DlgTemplateOctagon::IDC_DIM3};
            for (int k = 0; k < 3; ++k)
                if (c.dims[k]) d.UserType(ids[k], c.dims[k]);
            d.UserType(DlgTemplateOctagon::IDC_SIZE, c.size);
        }));
        ASSERT_GT(Model().GetElementCount(), 0);
        EXPECT_LT(LargestCornerAngle(Model()), 177.0);
    }
}

// The analysis on a coarse mesh (typical size 3.5), so that it takes a moment.
TEST_F(TemplateEndToEndTest, FoundationsAnalyseToFiniteResults) {
    for (int kind : {1, 2}) {
        SCOPED_TRACE(kind);
        host.messages.clear();
        const bool meshed = NewFoundation(kind, [](ui::Dialog& d) { d.UserType(DlgTemplateOctagon::IDC_SIZE, "3.5"); });
        ASSERT_TRUE(meshed);
        std::string messages;
        const RunOutcome outcome = Analyse("foundation", messages);
        ASSERT_EQ(outcome.solverStatus, 0) << runHost.said << messages;
        ASSERT_EQ(outcome.resultsStatus, 0);
        for (int r = 0; r < Model().GetNodeCount(); ++r) ASSERT_TRUE(std::isfinite(Model().GetResultValue(0, r, 1)));
    }
}

// The template writes no constraint: a shear V > 0 pushes the slab along its
// plane, and the model check refuses the run before solving, naming the free
// motion. Constraints in y and z at two nodes apart cure it.
TEST_F(TemplateEndToEndTest, ShearWithoutInPlaneSupportIsRefusedAndConstraintsCureIt) {
    const bool meshed = NewFoundation(2, [](ui::Dialog& d) {
        d.UserType(DlgTemplateOctagon::IDC_SIZE, "3.5");
        d.UserType(DlgTemplateOctagon::IDC_V, "100");
    });
    ASSERT_TRUE(meshed);
    std::string messages;
    RunOutcome outcome = Analyse("sheared", messages);
    EXPECT_TRUE(outcome.modelErrors);
    EXPECT_FALSE(outcome.solverCalled);
    EXPECT_NE(messages.find("the slab can slide in y, slide in z and turn in its plane (about x). Please define "
                            "nodal constraints in y and z"),
              std::string::npos)
        << messages;

    // y and z held at the two boundary nodes farthest apart along y.
    const NodeRow* west = nullptr;
    const NodeRow* east = nullptr;
    for (const NodeRow* n = Model().GetNodeTable()->GetHead(); n; n = n->next) {
        if (!west || n->y < west->y) west = n;
        if (!east || n->y > east->y) east = n;
    }
    const double zero[6] = {};
    const int yz[6] = {0, 1, 1, 0, 0, 0};
    for (const NodeRow* n : {west, east})
        Model().GetNodalActionTable(1)->AddNodalActionRow(std::to_string(n->id), std::span(zero, 6), std::span(yz, 6));
    outcome = Analyse("held", messages);
    EXPECT_FALSE(outcome.modelErrors) << messages;
    EXPECT_EQ(outcome.solverStatus, 0) << runHost.said << messages;
}

// The foundations on the half-space soil.  With the dialog's loads (P 600,
// M 50000) the resultant lies about 83 m from the centre of a slab that
// reaches 14 m (circular) or 27.5 m (octagonal): a soil that cannot pull
// cannot hold it, and the run stops at once saying so and what to change.
// With a moment that lifts one side but leaves the resultant inside the
// slab (M = 0.6 P R3), and with a central load alone, the run converges
// within the template's iteration limit: soil pressures of one sign only, the soil reactions carry the
// vertical loads, and the message file gives the lifted share.
TEST_F(TemplateEndToEndTest, FoundationsOnTheHalfSpaceUnderTheirMoments) {
    for (int kind : {1, 2}) {
        SCOPED_TRACE(kind);
        host.messages.clear();
        ASSERT_TRUE(NewFoundation(kind));
        int iterations = 0;
        double increment = 0, start = 0, end = 0, smallest = 0, tolerance = 0;
        Model().GetTimeSteppingParameters(iterations, increment, start, end, smallest, tolerance);
        EXPECT_EQ(iterations, 150);
        Model().SetSoilModel(1);
        std::string messages;
        const RunOutcome outcome = Analyse("overturned", messages);
        EXPECT_EQ(outcome.solverStatus, 4) << messages;
        EXPECT_NE(messages.find("Mindlin soil: the resultant of the vertical loads"), std::string::npos) << messages;
        EXPECT_NE(messages.find(kind == 1 ? "which reaches 27.50 m in that direction"
                                          : "which reaches 14.00 m in that direction"),
                  std::string::npos)
            << messages;
        EXPECT_NE(messages.find("the slab overturns"), std::string::npos);
        EXPECT_NE(messages.find("make the moment of the loads about the centre of the slab (now "), std::string::npos)
            << messages;
        EXPECT_NE(messages.find("or the vertical load larger than"), std::string::npos);
    }
    struct Case {
        int kind;
        int element;         // the dialog's element radio
        const char* moment;  // M as typed
        bool lifts;
    };
    const Case cases[] = {
        {2, DlgTemplateOctagon::IDC_LINEAR4, "5040", true},  {2, DlgTemplateOctagon::IDC_QUADRATIC8, "5040", true},
        {1, DlgTemplateOctagon::IDC_LINEAR4, "5040", false}, {1, DlgTemplateOctagon::IDC_QUADRATIC8, "5040", false},
        {2, DlgTemplateOctagon::IDC_LINEAR4, "0", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << " " << c.element << " M " << c.moment);
        host.messages.clear();
        ASSERT_TRUE(NewFoundation(c.kind, [&c](ui::Dialog& d) {
            d.UserClick(c.element);
            d.UserType(DlgTemplateOctagon::IDC_M, c.moment);
        }));
        Model().SetSoilModel(1);
        std::string messages;
        const RunOutcome outcome = Analyse("lifting", messages);
        ASSERT_EQ(outcome.solverStatus, 0) << messages;
        ASSERT_EQ(outcome.resultsStatus, 0);
        double load = 0;
        const NodalActionTable* loads = Model().GetNodalActionTable(2);
        for (int i = 0; i < loads->GetCount(); ++i) load += loads->GetValue(i, 0);
        const int pressure = 23, reaction = 24;
        ASSERT_EQ(Model().resultCaptions[pressure], "soil_press_q");
        ASSERT_EQ(Model().resultCaptions[reaction], "Rx_soil_sti");
        double carried = 0;
        int pressing = 0, pulling = 0, none = 0;
        for (int r = 0; r < Model().GetNodeCount(); ++r) {
            const double q = Model().GetResultValue(pressure, r, 1);
            (q < 0.0 ? pressing : q > 0.0 ? pulling : none) += 1;
            carried += Model().GetResultValue(reaction, r, 1);
        }
        EXPECT_EQ(pulling, 0);
        EXPECT_GT(pressing, 0);
        EXPECT_NEAR(std::fabs(carried), load, 0.01 * load);
        EXPECT_EQ(messages.find("nodes lifted off the soil (") != std::string::npos, c.lifts) << messages;
        EXPECT_EQ(none > 0, c.lifts);
    }
}

}  // namespace
