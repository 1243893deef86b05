#include "dialogs/ActionDialogOpeners.h"

#include "dialogs/DlgEdgeActions.h"
#include "dialogs/DlgNodalActions.h"

namespace actiondialogs {

namespace {

template <class Grid>
RoutedGrid Route(std::unique_ptr<Grid> grid) {
    Grid* g = grid.get();
    RoutedGrid routed;
    routed.window = std::move(grid);
    routed.create = [g] { return g->CreateModeless(); };
    routed.reopen = [g](int kind) { g->Reopen(kind); };
    routed.insertPickedName = [g](const std::string& text) { g->InsertPickedName(text); };
    return routed;
}

}  // namespace

RoutedGrid MakeNodalActionsGrid(DocHost& doc, ViewHost& view, int kind) {
    return Route(std::make_unique<DlgNodalActions>(&doc, &view, kind));
}

RoutedGrid MakeEdgeActionsGrid(DocHost& doc, ViewHost& view, int kind) {
    return Route(std::make_unique<DlgEdgeActions>(&doc, &view, kind));
}

}  // namespace actiondialogs
