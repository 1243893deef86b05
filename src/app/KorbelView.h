// The program's view: the model picture on the OpenGL view base, its display
// state, the commands of an open model, mouse navigation and picking.
#pragma once

#include <string>

#include "app/GLView.h"
#include "app/Hosts.h"

class CKorbelDoc;

class CKorbelView : public GLView, public ViewHost {
public:
    CKorbelView();
    ~CKorbelView() override;

    // The view's document (null before it is attached) and its model.
    CKorbelDoc* GetDocument() const;
    ModelData* GetModelData() const override;

    // ---- Analysis run (Computations > Run Analysis) ----
    void OnRunAnalysis();

    // ---- Display state and scene ----

    // ---- View commands ----

    // ---- Mouse navigation and picking ----
};
