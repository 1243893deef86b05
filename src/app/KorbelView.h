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
    // Saves an unnamed model through Save As first (cancel ends it), then
    // runs the document's analysis behind the marker "Brennix" and the wait
    // cursor, and repaints.
    void OnRunAnalysis();
    // After the first save of a run: closes the deformation-factor,
    // contour-limits, result-values and refine dialogs, frees the picked
    // items and makes step 1 current (defined with the display state).
    void ResetResultDisplayForRun();

    // ---- Display state and scene ----

    // ---- View commands ----

    // ---- Mouse navigation and picking ----
};
