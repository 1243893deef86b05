// The openers of the input dialogs: each is the whole body of the document's
// or view's command that opens its dialog, so the program's hook for the
// command is one call. The document and view are reached through their host
// interfaces only.
#pragma once

#include <memory>

#include "uibase/Hosts.h"

class DlgMaterialDataNew;

namespace inputdialogs {

// Input Data, "Material Properties": the modeless grid that the document
// keeps in `slot`: created on first use (moved 50 pixels right and down),
// reloaded from the model later; the view picks elements for it (pick
// mode 3) while it is open.
void ShowMaterialDataDialog(std::unique_ptr<DlgMaterialDataNew>& slot, DocHost& doc, ViewHost& view);

// "Time Stepping" and "Soil Stiffness": the model's values in, and on OK
// back; the document is marked modified when the model changed.
void RunTimeSteppingDialog(DocHost& doc, ViewHost& view);
void RunSoilStiffnessDialog(DocHost& doc);

// The toolbar's new material: the material dialog with the element-set name
// typed in, pre-filled "NUEVO_MAT", E 2000, thickness 1.0, nu 0.3. A name
// that a material row already has is refused with "Element Set already
// defined" and the dialog comes again with the entries; otherwise an
// isotropic row is appended to the model's material table. True when a row
// was added.
bool RunNewMaterialDialog(DocHost& doc);

}  // namespace inputdialogs
