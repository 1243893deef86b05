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

// The document's NewOctagonFoundation (kind 1 octagonal, 2 circular):
// redraws the views and runs the template dialog on the document's model.
// After OK the template is meshed with the mesher library of `programFolder`
// and imported (MeshAndImportTemplate); a failure brings the dialog back
// with the values typed (Cancel then leaves the model's tables and the
// modified mark as they were). A mesh of more than kHugeModelNodes
// nodes asks whether to go on; No keeps the mesh without redrawing. Then soil
// model 2, the views redrawn and the document marked modified; returns true.
bool RunNewOctagonFoundation(DocHost& doc, int kind, const std::string& programFolder, MesherHost& host,
                             ui::Window* parent = nullptr);
