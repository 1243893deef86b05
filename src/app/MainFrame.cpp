#include "app/MainFrame.h"

#include "app/KorbelCommands.h"
#include "app/KorbelView.h"

using namespace korbel;

const char* const CMainFrame::kTitle = "Brennix 2025.4.1";

CMainFrame::CMainFrame() {
    const struct {
        int id;
        Bar bar;
    } toggles[] = {{ID_VIEW_VIEW_TOOLBAR, ViewBar},
                   {ID_VIEW_SELECT_TOOLBAR, SelectBar},
                   {ID_VIEW_ACTIONS_TOOLBAR, ActionsBar},
                   {ID_VIEW_RESULTS_TOOLBAR, ResultsBar}};
    for (const auto& t : toggles) {
        OnCommand(t.id, [this, bar = t.bar] { ToggleBar(bar); });
        OnUpdateUI(t.id, [this, bar = t.bar](ui::CmdUI& ui) {
            ui.Enable(bar < ToolBarCount());
            ui.SetCheck(IsToolBarVisible(bar));
        });
    }
    // The run belongs to the view; the frame hands it on, so the command
    // works whichever window has the focus.
    OnCommand(ID_RUN_ANALYSIS, [this] {
        if (auto* view = dynamic_cast<CKorbelView*>(GetActiveView())) view->OnRunAnalysis();
    });
    OnUpdateUI(ID_RUN_ANALYSIS, [this](ui::CmdUI& ui) {
        auto* view = dynamic_cast<CKorbelView*>(GetActiveView());
        ui.Enable(view && view->GetModelData());
    });
}

bool CMainFrame::LoadFrame(const std::string& title, unsigned styleBits) {
    return ui::Frame::LoadFrame(title, styleBits | ui::style::Maximized);
}

int CMainFrame::OnCreate() {
    if (ui::Frame::OnCreate() < 0) return -1;
    for (ui::ToolBar& bar : BuildToolBars())
        if (AddToolBar(std::move(bar)) < 0) return -1;
    return CreateStatusBar({"CAP", "NUM", "SCRL"}) ? 0 : -1;
}

void CMainFrame::ToggleBar(Bar bar) { ShowToolBar(bar, !IsToolBarVisible(bar)); }
