// File > New from template on the open document: the chain of the slab-type
// dialog, the template dialog and the structured mesh. The document's
// NewFromSlabType and NewFromTemplate are these two calls; the foundation
// templates go on through the callback (the document's NewOctagonFoundation).
#pragma once

#include <functional>
#include <string>

#include "uibase/Hosts.h"
#include "meshtools/MesherBinding.h"

namespace ui {
class Window;
}

// Redraws the views and runs "Slab Type". "Next" with a conventional slab
// runs RunNewFromTemplate, with a foundation calls newOctagonFoundation with
// 1 (octagonal) or 2 (circular); then the document is marked modified.
// Returns true after "Next"; Escape and the close box change nothing.
bool RunNewFromSlabType(DocHost& doc, const std::function<void(int kind)>& newOctagonFoundation,
                        ui::Window* parent = nullptr);

// Redraws the views and runs "New Project from Template" on the document's
// model. On OK: the structured mesh of the stored parameters, soil model 0,
// the views redrawn and the document marked modified; returns true. Cancel
// changes nothing but the grid-line tables a grid dialog's OK has stored.
bool RunNewFromTemplate(DocHost& doc, ui::Window* parent = nullptr);

// Messages and questions of the mesh tools as message boxes of the ui layer.
class UiMesherHost : public MesherHost {
public:
    void Message(const std::string& text, MesherIcon icon) override;
    bool Ask(const std::string& question) override;
};
