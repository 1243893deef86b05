#include "app/ActionDialogHooks.h"

#include "app/KorbelDoc.h"
#include "dialogs/ActionDialogOpeners.h"
#include "dialogs/DlgConcentratedActions.h"

namespace {

DocDialog Kept(actiondialogs::RoutedGrid grid) {
    DocDialog d;
    d.window = std::move(grid.window);
    d.create = std::move(grid.create);
    d.retarget = [reopen = std::move(grid.reopen)](const DocDialogRequest& r) { reopen(r.kind); };
    d.insertPickedName = std::move(grid.insertPickedName);
    return d;
}

}  // namespace

void InstallActionDialogHooks(DocDialogFactories& factories) {
    factories.nodalActions = [](const DocDialogRequest& r) {
        return Kept(actiondialogs::MakeNodalActionsGrid(r.doc, r.view, r.kind));
    };
    factories.edgeActions = [](const DocDialogRequest& r) {
        return Kept(actiondialogs::MakeEdgeActionsGrid(r.doc, r.view, r.kind));
    };
    // The document's opener does the steps after a modal grid.
    factories.concentratedActions = [](const DocDialogRequest& r) {
        DlgConcentratedActions dialog(&r.doc, &r.view, r.kind);
        return dialog.DoModal();
    };
}
