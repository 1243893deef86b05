// The program's grids under a real X display, driven by clicks and keys sent
// through the X server: a concentrated load is typed cell by cell without a
// message box taking the keys, edits not yet applied are asked for on Exit,
// Ctrl+S saves while a grid has the focus, and Apply in Soil Stiffness stores
// what the dialog shows. Screenshots are kept in the test folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

// The program's headers before the X headers, which define None.
#include "../model/test_slb_support.h"
#include "app/DialogFactories.h"
#include "app/KorbelApp.h"
#include "app/KorbelCommands.h"
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "app/MainFrame.h"
#include "dialogs/DlgConcentratedActions.h"
#include "dialogs/DlgNodalActions.h"
#include "dialogs/DlgSoilStiffness.h"
#include "model/ModelData.h"
#include "platform/ui/Settings.h"
// Then the X input helpers.
#include "../fltk/XInput.h"

#include <FL/Fl_Group.H>

namespace {

using G = GridPage;

// The visible widget of the group (or of its groups) whose label begins
// with the text.
Fl_Widget* WidgetLabelled(Fl_Group* group, const std::string& label) {
    for (int i = 0; i < group->children(); ++i) {
        Fl_Widget* w = group->child(i);
        if (w->visible() && w->label() && std::string(w->label()).rfind(label, 0) == 0) return w;
        if (Fl_Group* g = w->as_group())
            if (Fl_Widget* found = WidgetLabelled(g, label)) return found;
    }
    return nullptr;
}

// The text of a message box: its longest label.
std::string BoxText(Fl_Group* box) {
    std::string text;
    for (int i = 0; i < box->children(); ++i) {
        Fl_Widget* w = box->child(i);
        if (w->label() && std::string(w->label()).size() > text.size()) text = w->label();
        if (Fl_Group* g = w->as_group()) {
            const std::string inner = BoxText(g);
            if (inner.size() > text.size()) text = inner;
        }
    }
    return text;
}

class TypedValuesDesktop : public FltkDisplayTest {
protected:
    // The program on a copy of an example model, its main window shown.
    void Start(const std::string& example) {
        model = dir.File(example);
        std::filesystem::copy_file(std::string(BRENNIX_TEST_DATA) + "/../../examples/" + example, model);
        ui::Settings stored(dir.File("settings"));
        stored.SetString(CKorbelApp::kUserKey, CKorbelApp::kUserNameValue, "Desktop Test");
        ASSERT_TRUE(stored.Save());
        InputDialogFactories() = DocDialogFactories{};
        RegisterProgramDialogs();
        app = std::make_unique<CKorbelApp>();
        app->GetSettings().SetPath(dir.File("settings"));
        ASSERT_TRUE(app->InitInstance());
        ASSERT_NE(app->OpenDocumentFile(model), nullptr);
        doc = app->FindOpenDocument();
        view = dynamic_cast<CKorbelView*>(app->MainFrame()->GetActiveView());
        ASSERT_NE(view, nullptr);
        Fl_Window* frame = backend.TopWindowOf(*app->MainFrame());
        ASSERT_TRUE(frame && WaitFor([&] { return frame->shown() && frame->visible(); }));
    }
    void TearDown() override {
        if (app) {
            doc->SetModifiedFlag(false);
            doc->GetModelData()->ClearChanged();
            app->CloseAllDocuments();
            CloseWindow(*app->MainFrame());
            app.reset();
        }
        InputDialogFactories() = DocDialogFactories{};
        FltkDisplayTest::TearDown();
    }
    // The centre of a control of the dialog, in its window.
    std::pair<int, int> Centre(ui::Dialog& d, int id) {
        Fl_Widget* w = backend.WidgetOf(*d.GetDlgItem(id));
        return {w->x() + w->w() / 2, w->y() + w->h() / 2};
    }
    void Click(Fl_Window* win, ui::Dialog& d, int id) {
        const auto [x, y] = Centre(d, id);
        SendClick(win, x, y);
    }
    int FocusId(ui::Dialog& d) { return d.GetFocus() ? d.GetFocus()->GetDlgCtrlID() : 0; }

    slbtest::ScratchDir dir;
    std::string model;
    std::unique_ptr<CKorbelApp> app;
    CKorbelDoc* doc = nullptr;
    CKorbelView* view = nullptr;
};

// Y, Z and the force of a new load typed in turn, moving by a click and by
// Tab: no box comes up and every key lands in its cell. Leaving the row for
// another row checks the point.
TEST_F(TypedValuesDesktop, ConcentratedLoadIsTypedCellByCellWithoutABox) {
    Start("slab-point-loads.slb");
    using D = DlgConcentratedActions;
    ui::Dialog* dlg = nullptr;
    Fl_Window* win = nullptr;
    int settle = 0, boxesWhileTyping = 0;
    std::string leftRowBox;
    auto settled = [&settle] { return ++settle % 6 == 0; };
    auto text = [&](int id) { return dlg ? dlg->GetDlgItemText(id) : std::string(); };
    // Replaces the text of the focused cell.
    auto retype = [&](const std::string& t) {
        SendKey(win, XK_a, ControlMask);
        TypeText(win, t);
    };
    auto noBox = [&] {
        if (backend.ActiveMessageBox()) {
            ++boxesWhileTyping;
            SendKey(backend.ActiveMessageBox(), XK_Return);
            return false;
        }
        return true;
    };
    ModalSteps steps;
    steps.list = {
        {"grid shown: Add Row",
         [&] {
             win = WindowTitled("Concentrated Loads");
             dlg = win ? dynamic_cast<ui::Dialog*>(backend.LayerWindowOf(win)) : nullptr;
             if (!dlg || !win->visible() || !settled()) return false;
             Click(win, *dlg, D::IDC_ADD_ROW);
             return true;
         }},
        {"new row: Y typed",
         [&] {
             if (!dlg->GetDlgItem(G::CellId(3, 2))->IsWindowVisible() || FocusId(*dlg) != G::CellId(3, 2)) return false;
             retype("8.5");
             return true;
         }},
        {"Z clicked",
         [&] {
             if (text(G::CellId(3, 2)) != "8.5") return false;
             Click(win, *dlg, G::CellId(3, 3));
             return true;
         }},
        {"Z typed, Tab",
         [&] {
             if (!noBox() || FocusId(*dlg) != G::CellId(3, 3) || !settled()) return false;
             retype("5.5");
             SendKey(win, XK_Tab);
             return true;
         }},
        {"force typed",
         [&] {
             if (!noBox() || FocusId(*dlg) != G::CellId(3, D::kFirstComponent) || !settled()) return false;
             retype("-7.25");
             return true;
         }},
        {"all typed: leave the row",
         [&] {
             if (!noBox() || text(G::CellId(3, D::kFirstComponent)) != "-7.25" || !settled()) return false;
             EXPECT_EQ(text(G::CellId(3, 2)), "8.5");
             EXPECT_EQ(text(G::CellId(3, 3)), "5.5");
             const Shot s = Screenshot(win->x(), win->y(), win->w(), win->h());
             SaveShot(s, "app_concentrated_typed.bmp");
             Click(win, *dlg, G::CellId(1, 3));
             return true;
         }},
        {"the point is checked",
         [&] {
             Fl_Window* box = backend.ActiveMessageBox();
             if (!box || !box->shown() || !settled()) return false;
             leftRowBox = BoxText(box);
             const Shot s = Screenshot(box->x(), box->y(), box->w(), box->h());
             SaveShot(s, "app_concentrated_left_row.bmp");
             SendKey(box, XK_Return);
             return true;
         }},
        {"box closed: Cancel",
         [&] {
             if (backend.ActiveMessageBox() || !settled()) return false;
             SendKey(win, XK_Escape);
             return true;
         }},
    };
    steps.abort = [&] {
        if (Fl_Window* box = backend.ActiveMessageBox()) box->hide();
        if (dlg && dlg->IsModal()) dlg->EndDialog(ui::IDCANCEL);
    };
    Fl::add_timeout(0.05, ModalSteps::Tick, &steps);
    doc->ShowConcentratedActionsDialog(*view, 1);
    Fl::remove_timeout(ModalSteps::Tick, &steps);
    EXPECT_EQ(steps.failure, "");
    EXPECT_EQ(boxesWhileTyping, 0);
    EXPECT_NE(leftRowBox.find("Coordinate 0.000000, 8.500000, 5.500000  is outside of model limits"), std::string::npos)
        << leftRowBox;
    EXPECT_NE(leftRowBox.find("Check row 3"), std::string::npos) << leftRowBox;
    EXPECT_EQ(doc->GetModelData()->GetConcentratedActionTable(1)->GetCount(), 2);
}

// A ticked box not applied: File > Exit asks for it (answered Cancel through
// the X server: the program, the grid and the tick stay). Applied, Ctrl+S
// typed in the grid saves the file.
TEST_F(TypedValuesDesktop, ExitAsksForUnappliedEditsAndCtrlSSavesFromAGrid) {
    Start("winkler-mat.slb");
    doc->ShowNodalActionsDialog(*view, 1);
    ui::Dialog* grid = doc->SlotDialog(CKorbelDoc::NodalActionsSlot);
    ASSERT_NE(grid, nullptr);
    Fl_Window* win = backend.TopWindowOf(*grid);
    ASSERT_TRUE(win && WaitFor([&] { return win->shown() && win->visible(); }) && Settle());
    Click(win, *grid, DlgNodalActions::CheckId(1, 1));
    ASSERT_TRUE(WaitFor([&] { return grid->GetDlgItem(G::kApplyId)->IsWindowEnabled(); }));

    std::string question;
    bool answered = false;
    ModalSteps steps;
    steps.list = {{"question shown: Cancel", [&] {
                       Fl_Window* box = backend.ActiveMessageBox();
                       if (!box || !box->shown() || !Settle(1.0)) return false;
                       question = BoxText(box);
                       SaveShot(Screenshot(box->x(), box->y(), box->w(), box->h()), "app_unapplied_question.bmp");
                       Fl_Widget* cancel = WidgetLabelled(box, "Cancel");
                       if (!cancel) return false;
                       SendClick(box, cancel->x() + cancel->w() / 2, cancel->y() + cancel->h() / 2);
                       answered = true;
                       return true;
                   }}};
    steps.abort = [&] {
        if (Fl_Window* box = backend.ActiveMessageBox()) box->hide();
    };
    Fl::add_timeout(0.05, ModalSteps::Tick, &steps);
    app->MainFrame()->ExecuteCommand(ui::cmd::AppExit);
    Fl::remove_timeout(ModalSteps::Tick, &steps);
    EXPECT_TRUE(answered) << steps.failure;
    EXPECT_EQ(question, "The changes in Specified Nodal Displacements are not applied.\nApply them?");
    ASSERT_EQ(app->FindOpenDocument(), doc);
    EXPECT_TRUE(grid->IsWindowVisible());
    EXPECT_EQ(grid->IsDlgButtonChecked(DlgNodalActions::CheckId(1, 1)), 1);
    EXPECT_FALSE(doc->IsModified());

    Click(win, *grid, G::kApplyId);
    ASSERT_TRUE(WaitFor([&] { return doc->IsModified(); }));
    ASSERT_TRUE(Settle());
    ASSERT_NE(grid->GetFocus(), nullptr);
    SendKey(win, XK_s, ControlMask);
    ASSERT_TRUE(WaitFor([&] { return !doc->IsModified(); })) << "Ctrl+S in the grid did not save";
    ModelData saved;
    ASSERT_EQ(saved.ReadModelFile(model, true), 0);
    EXPECT_EQ(saved.GetNodalActionTable(1)->GetHead()->flags[0], 1);
    SaveShot(Screenshot(win->x(), win->y(), win->w(), win->h()), "app_saved_from_grid.bmp");
}

// Soil Stiffness: Mindlin and a modulus chosen, Apply clicked, then Escape:
// the model holds what was applied and the document is marked.
TEST_F(TypedValuesDesktop, ApplyInSoilStiffnessStoresIntoTheModel) {
    Start("winkler-mat.slb");
    using S = DlgSoilStiffness;
    ui::Dialog* dlg = nullptr;
    Fl_Window* win = nullptr;
    int settle = 0;
    auto settled = [&settle] { return ++settle % 6 == 0; };
    ModalSteps steps;
    steps.list = {
        {"dialog shown: Mindlin",
         [&] {
             win = WindowTitled("Soil Stiffness");
             dlg = win ? dynamic_cast<ui::Dialog*>(backend.LayerWindowOf(win)) : nullptr;
             if (!dlg || !win->visible() || !settled()) return false;
             Click(win, *dlg, S::IDC_MINDLIN);
             return true;
         }},
        {"modulus typed",
         [&] {
             if (!dlg->GetDlgItem(S::IDC_MINDLIN_E)->IsWindowEnabled()) return false;
             Click(win, *dlg, S::IDC_MINDLIN_E);
             SendKey(win, XK_a, ControlMask);
             TypeText(win, "25000");
             return true;
         }},
        {"Apply clicked",
         [&] {
             if (dlg->GetDlgItemText(S::IDC_MINDLIN_E) != "25000") return false;
             Click(win, *dlg, S::IDC_APPLY);
             return true;
         }},
        {"applied: Escape",
         [&] {
             if (doc->GetModelData()->GetSoilModel() != 1 || !settled()) return false;
             SaveShot(Screenshot(win->x(), win->y(), win->w(), win->h()), "app_soil_applied.bmp");
             SendKey(win, XK_Escape);
             return true;
         }},
    };
    steps.abort = [&] {
        if (dlg && dlg->IsModal()) dlg->EndDialog(ui::IDCANCEL);
    };
    Fl::add_timeout(0.05, ModalSteps::Tick, &steps);
    app->MainFrame()->ExecuteCommand(korbel::ID_INPUT_SOIL);
    Fl::remove_timeout(ModalSteps::Tick, &steps);
    EXPECT_EQ(steps.failure, "");
    EXPECT_EQ(doc->GetModelData()->GetSoilModel(), 1);
    EXPECT_EQ(doc->GetModelData()->GetSoilValue(0), 25000.0);
    EXPECT_TRUE(doc->IsModified());
}

}  // namespace
