// Opening of the document's modeless dialogs: created through the grid
// base, moved 50 pixels down from the template's position and shown.
#pragma once

#include "uibase/TDialog.h"

// False when the window could not be made.
inline bool ShowModelessBelowTemplate(TDialog& dlg) {
    if (!dlg.CreateModeless()) return false;
    ui::Rect r = dlg.GetWindowRect();
    r.y += 50;
    dlg.MoveWindow(r, false);
    dlg.ShowWindow(true);
    return true;
}
