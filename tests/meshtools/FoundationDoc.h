// The program's document and view with the program's own dialogs, for the
// new-foundation tests: the template dialog is the real one, and the
// template is meshed with the mesher library of a given folder (a fake one
// or the build's), its messages going to a host the test reads.
#pragma once

#include <string>

#include "app/DialogFactories.h"
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "meshtools/TemplateMeshing.h"
#include "model/ModelData.h"

namespace templatetest {

class FoundationDoc {
public:
    FoundationDoc(const std::string& mesherFolder, MesherHost& host) {
        RegisterProgramDialogs();
        doc.Factories() = InputDialogFactories();
        doc.Factories().meshTemplate = LibraryTemplateMesher(mesherFolder, host);
        view.SetDocument(&doc);
        doc.OnNewDocument();
        doc.SetModifiedFlag(false);
    }
    ~FoundationDoc() {
        view.SetDocument(nullptr);
        InputDialogFactories() = DocDialogFactories{};
    }
    FoundationDoc(const FoundationDoc&) = delete;
    FoundationDoc& operator=(const FoundationDoc&) = delete;

    // File > New foundation of `kind` through the document; true when the
    // mesh was taken (soil model 2 set).
    bool New(int kind) {
        doc.NewOctagonFoundation(kind);
        return model().GetSoilModel() == 2;
    }
    ModelData& model() { return *doc.GetModelData(); }

    // Counts the document's updates of the view.
    class CountingView : public CKorbelView {
    public:
        void OnUpdate(ui::View* sender, long hint) override {
            ++updates;
            CKorbelView::OnUpdate(sender, hint);
        }
        int updates = 0;
    };
    CKorbelDoc doc;
    CountingView view;
};

}  // namespace templatetest
