// The view's display state and the rendering of the model picture.

#include "app/KorbelView.h"

#include <algorithm>
#include <cmath>

#include "model/ModelData.h"
#include "platform/gl/GlIncludes.h"
#include "viz/Scene.h"
#include "viz/Text.h"

namespace {

constexpr GLuint kSceneList = 1;
// The scene as compiled by a selection pass, for the next picks.
constexpr GLuint kSelectionList = 2;

}  // namespace

CKorbelView::CKorbelView() { RegisterViewCommands(); }

CKorbelView::~CKorbelView() {
    if (refineDialog_ && refineDialog_->IsWindow()) refineDialog_->DestroyWindow();
}

DocHost* CKorbelView::DocumentHost() const { return dynamic_cast<DocHost*>(ui::View::GetDocument()); }

ModelData* CKorbelView::GetModelData() const {
    const DocHost* doc = DocumentHost();
    return doc ? doc->GetModelData() : nullptr;
}

// ---------------------------------------------------------------------------
// Paint

void CKorbelView::OnDraw(ui::Painter& painter) {
    // While an input dialog takes picks the plain mesh is shown.
    const DocHost* doc = DocumentHost();
    if (doc && doc->PickMode() >= 1) {
        display.boundaryOnly = 0;
        display.showDeformed = 0;
        display.step = 1;
        display.showUndeformed = 1;
    }
    GLView::OnDraw(painter);
}

void CKorbelView::Resize(int cx, int cy) {
    display.clientWidth = cx;
    display.clientHeight = cy;
    GLView::Resize(cx, cy);
}

void CKorbelView::InitGL() { SetupGLState(); }

void CKorbelView::OnDisplayListsLost() {
    display.rebuildScene = 1;
    sceneListValid_ = false;
    compiledScene_ = selectionScene_ = CompiledScene{};
    sceneImage_.Clear();
}

DisplayOptions CKorbelView::BuildDisplayOptions() const {
    const ViewDisplayState& d = display;
    DisplayOptions o;
    o.boundaryOnly = d.boundaryOnly;
    o.showDeformed = d.showDeformed;
    o.step = d.step;
    o.showUndeformed = d.showUndeformed;
    o.contourColumn = d.contourColumn;
    o.contourStyle = d.contourType;
    o.nodeDisplay = d.nodeLabels;
    o.showElementNumbers = d.elementNumbers;
    o.solidFaces = d.solidFace;
    o.showThickness = d.showThickness;
    o.pickKind = CurrentSetKind();
    o.pickText = CurrentSetText();
    o.showNodalLoads = d.displayFlags[kShowNodalLoads];
    o.showNodalStiffness = d.displayFlags[kShowNodalStiffness];
    o.showNonlinearNodalStiffness = d.displayFlags[kShowNonlinearNodalStiffness];
    o.showConstraints = d.displayFlags[kShowConstraints];
    o.showEquivalentLoads = d.displayFlags[kShowEquivalentLoads];
    o.showConcentratedLoads = d.displayFlags[kShowConcentratedLoads];
    o.showConcentratedStiffness = d.displayFlags[kShowConcentratedStiffness];
    o.showTotalConcentratedStiffness = d.displayFlags[kShowTotalConcentratedStiffness];
    o.showDistributedLoads = d.displayFlags[kShowDistributedLoads];
    o.showDistributedStiffness = d.displayFlags[kShowDistributedStiffness];
    o.showEdgeLoads = d.displayFlags[kShowEdgeLoads];
    o.showEdgeStiffness = d.displayFlags[kShowEdgeStiffness];
    o.showCutLines = d.displayFlags[kShowCutLines];
    o.meshOverContours = d.meshOverContours;
    o.symbolScale = d.symbolScale;
    o.setKind = d.setKind;
    o.setText = d.setText;
    return o;
}

void CKorbelView::SetUpLighting() {
    const GLfloat modelAmbient[] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat material[] = {0.75f, 0.75f, 0.75f, 0.75f};
    const GLfloat lightAmbient[] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat lightDiffuse[] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat lightPosition[] = {-5000.0f, 5000.0f, 1000.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, modelAmbient);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, material);
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glEnable(GL_LIGHT0);
}

bool CKorbelView::LegendShown(const ModelData& model) const {
    const DocHost* doc = DocumentHost();
    return display.showLegend && display.contourColumn && doc && doc->HasResults() && model.redrawFlag != 0;
}

// Scales the model to the client and centres its bounding box. With the
// legend shown, the column from its bars to the right edge (where the step
// caption stands too) is kept clear: the model is fitted into the rest of the
// width and, where it would reach into the column, moved left.
void CKorbelView::PlaceModel(const ModelData& model) {
    if (display.clientWidth == 0) {
        display.clientWidth = Width();
        display.clientHeight = Height();
    }
    constexpr int kFitMargin = 50, kLegendGap = 10;
    const int legendColumn = LegendShown(model) ? 150 + display.legendSpacing + kLegendGap : 0;
    display.fitScale =
        FitScale(display.clientWidth - legendColumn, display.clientHeight, model.extentY, model.extentZ, kFitMargin);
    display.legendClearance = 0.0f;
    if (legendColumn > 0) {
        const double halfWidth = display.fitScale * std::fabs(model.extentY) / 2.0;
        const double room = display.clientWidth / 2.0 - legendColumn - kFitMargin / 2.0;
        display.legendClearance = static_cast<float>(std::max(0.0, halfWidth - room));
    }
    const float zoom = display.userZoom;
    glScalef(zoom, zoom, zoom);
    glTranslatef(0.0f, -display.legendClearance, 0.0f);
    glScalef(display.fitScale, display.fitScale, display.fitScale);
    display.symbolScale = static_cast<double>(zoom) * display.fitScale;
    glTranslated(0.0, -model.centreY, -model.centreZ);
}

CKorbelView::CompiledScene CKorbelView::SceneKey(const ModelData& model, const DisplayOptions& options) const {
    CompiledScene key;
    key.model = &model;
    key.nodes = model.GetNodeCount();
    key.elements = model.GetElementCount();
    key.redraw = model.redrawFlag;
    const DocHost* doc = DocumentHost();
    key.results = doc && doc->HasResults() ? 1 : 0;
    key.options = options;
    key.options.pickText.clear();  // the highlight is drawn after the list
    return key;
}

// Display list 1 holds the scene; it is compiled when a rebuild was asked
// for (or the list is gone) and replayed otherwise. A selection pass keeps
// the scene it compiled in list 2 and calls it in the next passes, and the
// paint after a pick replays list 1, as long as the list was compiled from
// the same model and display settings.
void CKorbelView::DrawModelScene(ModelData& model) {
    const bool mayReplay = replayWhileCurrent_;
    replayWhileCurrent_ = false;
    int solidFace = 0;
    DocHost* doc = DocumentHost();
    if (display.rebuildScene || !sceneListValid_) {
        const bool pending = doc && doc->TakePendingDisplaySettings(solidFace);
        if (pending) display.solidFace = solidFace;
        if (pending || display.sceneChanged) compiledScene_ = selectionScene_ = CompiledScene{};
        GLint mode = GL_RENDER;
        glGetIntegerv(GL_RENDER_MODE, &mode);
        const bool selecting = mode == GL_SELECT;
        const GLuint list = selecting ? kSelectionList : kSceneList;
        CompiledScene& compiled = selecting ? selectionScene_ : compiledScene_;
        DisplayOptions options = BuildDisplayOptions();
        if (selecting && options.contourColumn != 0) {
            // Contours carry no names: the selection pass leaves them out,
            // and the faces they cover with them.
            if (options.contourStyle != 1) options.solidFaces = 0;
            options.contourColumn = 0;
        }
        CompiledScene key = SceneKey(model, options);
        if (mayReplay && compiled.model && key == compiled) {
            if (selecting)
                glCallList(list);
            else
                ReplaySceneList();
            return;
        }
        glNewList(list, GL_COMPILE_AND_EXECUTE);
        viz::DrawScene(model, options);
        glEndList();
        ++sceneCompiles_;
        compiled = std::move(key);
        if (!selecting) {
            display.sceneChanged = 0;
            sceneListValid_ = true;
            ++sceneListGeneration_;
            KeepSceneImage();
        }
    } else {
        ReplaySceneList();
        display.rebuildScene = 1;
    }
}

CKorbelView::SceneImageKey CKorbelView::CurrentImageKey() const {
    SceneImageKey key;
    key.listGeneration = sceneListGeneration_;
    glGetIntegerv(GL_VIEWPORT, key.viewport.data());
    glGetDoublev(GL_MODELVIEW_MATRIX, key.modelview.data());
    glGetDoublev(GL_PROJECTION_MATRIX, key.projection.data());
    glGetFloatv(GL_COLOR_CLEAR_VALUE, key.clearColor.data());
    key.globalAxes = display.globalAxes;
    return key;
}

void CKorbelView::KeepSceneImage() {
    // The picture is kept in the view's own context only.
    if (!OwnContextCurrent()) {
        sceneImage_.Clear();
        return;
    }
    sceneImageKey_ = CurrentImageKey();
    sceneImage_.Capture(sceneImageKey_.viewport[2], sceneImageKey_.viewport[3]);
}

void CKorbelView::ReplaySceneList() {
    GLint mode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    if (mode == GL_RENDER && !sceneImage_.Empty() && OwnContextCurrent() && CurrentImageKey() == sceneImageKey_) {
        if (sceneImage_.Restore()) {
            ++sceneImageReuses_;
            return;
        }
    }
    glCallList(kSceneList);
    if (mode == GL_RENDER) KeepSceneImage();
}

void CKorbelView::RenderScene() {
    glGetError();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DITHER);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    SetUpLighting();

    // Base orientation: the model's y-z plane faces the viewer, y to the right.
    glLoadIdentity();
    glRotatef(90.0f, 0.0f, 0.0f, -1.0f);
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    viz::SetColor(255, 0, 0);
    if (display.globalAxes) DrawGlobalAxes();

    glPushMatrix();
    glTranslatef(display.panX, display.panY, display.panZ);
    glRotatef(display.rotationX, 1.0f, 0.0f, 0.0f);
    glRotatef(display.rotationY, 0.0f, 1.0f, 0.0f);
    glRotatef(display.rotationZ, 0.0f, 0.0f, 1.0f);
    glPushMatrix();

    ModelData* model = GetModelData();
    if (!model) {
        display.localAxes = 0;
    } else {
        PlaceModel(*model);
        viz::SetColor(255, 255, 0);
        glGetIntegerv(GL_VIEWPORT, savedViewport_.data());
        glGetDoublev(GL_MODELVIEW_MATRIX, savedModelview_.data());
        glGetDoublev(GL_PROJECTION_MATRIX, savedProjection_.data());
        glEnable(GL_DEPTH_TEST);
        glFrontFace(GL_CCW);
        glNormal3f(0.0f, 0.0f, 1.0f);

        DrawModelScene(*model);

        const DisplayOptions options = BuildDisplayOptions();
        viz::DrawSelectionScene(*model, options, CurrentSetKind(), CurrentSetText(), 0);
        for (const PickedItem& item : pickedItems_) viz::DrawSelectionScene(*model, options, item.kind, item.text, 1);

        glDisable(GL_DEPTH_TEST);
        if (display.localAxes) DrawLocalAxes();
    }
    glPopMatrix();
    glPopMatrix();

    // The legend shows the ramp's own colours: it is drawn unlit.
    glDisable(GL_LIGHTING);
    if (model && LegendShown(*model)) {
        const int h = display.clientHeight, w = display.clientWidth;
        viz::DrawContourLegend(*model, h, w, display.contourColumn, display.contourType, display.legendSpacing);
        viz::DrawStepCaption(*model, h, w, display.contourColumn, display.contourType, display.step,
                             display.legendSpacing);
    }

    DrawRubberBand();

    glDisable(GL_DITHER);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glFlush();
}

void CKorbelView::DrawRubberBand() {
    const bool selecting = mouse.selectionMode == 1 || mouse.selectionMode == 2;
    if (!mouse.rubberBand || !mouse.buttonDown || !(selecting || mouse.mouseMode == 3)) return;
    const int w = display.clientWidth, h = display.clientHeight;
    const int x0 = mouse.pressPoint.x - w / 2, y0 = mouse.pressPoint.y - h / 2;
    const int x1 = mouse.currentPoint.x - w / 2, y1 = mouse.currentPoint.y - h / 2;
    glLineWidth(1.0f);
    viz::SetColor(0, 255, 0);
    glBegin(GL_LINE_LOOP);
    glVertex3i(0, x0, y0);
    glVertex3i(0, x0, y1);
    glVertex3i(0, x1, y1);
    glVertex3i(0, x1, y0);
    glEnd();
}

// ---------------------------------------------------------------------------
// Axes

void CKorbelView::DrawGlobalAxes() {
    glEnable(GL_LINE_STIPPLE);
    glLineStipple(5, 0x5555);
    const struct {
        COLORREF color;
        double x, y, z;
        const char* label;
    } axes[] = {
        {ui::Rgb(255, 0, 0), -50.0, 0.0, 0.0, "x"},
        {ui::Rgb(0, 255, 0), 0.0, 50.0, 0.0, "y"},
        {ui::Rgb(0, 0, 255), 0.0, 0.0, 50.0, "z"},
    };
    for (const auto& a : axes) {
        SetColor(a.color, 1.0f);
        viz::DrawLine(0.0, 0.0, 0.0, a.x, a.y, a.z);
        viz::DrawText(a.label, a.x, a.y, a.z);
    }
    glDisable(GL_LINE_STIPPLE);
}

void CKorbelView::DrawLocalAxes() {
    // 80 pixels on screen whatever the magnification.
    const double scale = display.symbolScale > 0.0 ? display.symbolScale : 1.0;
    const double length = 80.0 / scale;
    viz::SetColor(255, 0, 0);
    viz::DrawLine(0.0, 0.0, 0.0, -length, 0.0, 0.0);
    viz::DrawText("X", -length - 5.0 / scale, 0.0, 0.0);
    viz::SetColor(0, 255, 0);
    viz::DrawLine(0.0, 0.0, 0.0, 0.0, length, 0.0);
    viz::DrawText("Y", 0.0, length, 0.0);
    viz::SetColor(0, 0, 255);
    viz::DrawLine(0.0, 0.0, 0.0, 0.0, 0.0, length);
    viz::DrawText("Z", 0.0, 0.0, length);
}

// ---------------------------------------------------------------------------
// Highlights, picked items and display settings

void CKorbelView::SetHighlightedItems(int kind, const std::string& text) {
    SetPickState(kind, text);
    // Only a changed model needs the scene compiled again; the highlight is
    // drawn after the list.
    display.rebuildScene = display.sceneChanged == 1 ? 1 : 0;
    Invalidate(false);
}

void CKorbelView::AddPickedItem(int kind, const std::string& text) { pickedItems_.push_back({kind, text}); }

void CKorbelView::ClearPickedItems() { pickedItems_.clear(); }

void CKorbelView::ResetResultDisplayForRun() {
    CloseResultDialogs();
    HideRefineDialog();
    ClearPickedItems();
    display.step = 1;
}

int CKorbelView::FindElementUsingNode(int node) const {
    const ModelData* model = GetModelData();
    return model ? model->ElementOfNode(node) : 0;
}

const ElementRow* CKorbelView::GetPickedItemLabel(int node) const {
    const ModelData* model = GetModelData();
    if (!model || !model->GetElementTable()) return nullptr;
    return model->GetElementTable()->RowOrNull(model->ElementRowOfNumber(model->ElementOfNode(node)));
}

void CKorbelView::RepaintView() {
    if (display.displayFlags[kShowCutLines]) display.rebuildScene = 1;
    Invalidate(false);
}

void CKorbelView::RebuildScene() {
    display.rebuildScene = 1;
    display.sceneChanged = 1;
}

void CKorbelView::SetContourRange() {
    if (ModelData* model = GetModelData()) model->SetContourRange(display.step, display.contourColumn);
}

void CKorbelView::SetRotation(float x, float y, float z) {
    display.rotationX = x;
    display.rotationY = -y;
    display.rotationZ = -z;
}
