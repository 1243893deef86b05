// Fills the document's factory hooks of the action grids: nodal actions,
// edge actions (modeless, kept by the document) and concentrated actions
// (modal).
#pragma once

struct DocDialogFactories;

void InstallActionDialogHooks(DocDialogFactories& factories);
