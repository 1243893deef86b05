#include "meshtools/ui/NewProject.h"

#include "meshtools/StructuredMesh.h"
#include "meshtools/TemplateMeshing.h"
#include "meshtools/ui/DlgNewTemplate.h"
#include "meshtools/ui/DlgSlabType.h"
#include "meshtools/ui/DlgTemplateOctagon.h"
#include "model/ModelData.h"
#include "platform/ui/Services.h"

bool RunNewFromSlabType(DocHost& doc, const std::function<void(int kind)>& newOctagonFoundation, ui::Window* parent) {
    doc.UpdateAllViews();
    int type = 0;
    {
        CDlgSlabType dialog(parent);
        if (dialog.DoModal() != ui::IDOK) return false;
        type = dialog.SlabType();
    }
    // The slab-type dialog has gone before the next one opens.
    if (type == 0)
        RunNewFromTemplate(doc, parent);
    else if (newOctagonFoundation)
        newOctagonFoundation(type);
    doc.SetModifiedFlag(true);
    return true;
}

bool RunNewFromTemplate(DocHost& doc, ui::Window* parent) {
    doc.UpdateAllViews();
    ModelData* model = doc.GetModelData();
    if (!model) return false;
    DlgNewTemplate dialog(model, parent);
    if (dialog.DoModal() != ui::IDOK) return false;
    // The dialog has checked the parameters; a mesh that cannot be made
    // leaves the model as it was.
    if (!GenerateStructuredMesh(*model)) return false;
    model->SetSoilModel(0);
    doc.UpdateAllViews();
    doc.SetModifiedFlag(true);
    return true;
}

void UiMesherHost::Message(const std::string& text, MesherIcon icon) {
    ui::Icon shown = ui::Icon::None;
    switch (icon) {
        case MesherIcon::NoIcon: shown = ui::Icon::None; break;
        case MesherIcon::Information: shown = ui::Icon::Information; break;
        case MesherIcon::Question: shown = ui::Icon::Question; break;
        case MesherIcon::Exclamation: shown = ui::Icon::Exclamation; break;
        case MesherIcon::Stop: shown = ui::Icon::Stop; break;
    }
    ui::MessageBox(text, ui::Buttons::Ok, shown);
}

bool UiMesherHost::Ask(const std::string& question) {
    return ui::MessageBox(question, ui::Buttons::YesNo, ui::Icon::Question) == ui::IDYES;
}
