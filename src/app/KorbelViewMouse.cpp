// Mouse navigation (pan, rotate, zoom, zoom window) and picking of nodes,
// elements and element sides by OpenGL selection.
#include <algorithm>
#include <cstdlib>

#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "model/ModelData.h"
#include "platform/gl/GlIncludes.h"

namespace {

// Entries of the selection buffer per item of the kind, as the drawing
// names them: one record of four entries per node or element, four sides
// per element.
int SelectionBufferSize(const ModelData& model, int selectionMode) {
    if (selectionMode == 1) return model.GetNodeCount() * 4 + 4;
    if (selectionMode == 3) return model.GetElementCount() * 16 + 16;
    return model.GetElementCount() * 4 + 4;
}

// The names of `hits` hit records (name count, depth min, depth max, names),
// walked by their counts; false when a record runs past the entries.
bool CollectNames(const std::vector<GLuint>& buffer, int hits, std::vector<unsigned>& names) {
    std::size_t at = 0;
    for (int h = 0; h < hits; ++h) {
        if (at + 3 > buffer.size()) return false;
        const std::size_t count = buffer[at];
        at += 3;
        if (at + count > buffer.size()) return false;
        for (std::size_t k = 0; k < count; ++k) names.push_back(buffer[at + k]);
        at += count;
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Navigation

void CKorbelView::OnLButtonDown(int, ui::Point p) {
    mouse.buttonDown = 1;
    mouse.pressPoint = p;
    mouse.currentPoint = p;
    SetCapture();
    if (mouse.selectionMode != 0) return;
    mouse.dragActive = 1;
    switch (mouse.mouseMode) {
        case 0:
            mouse.dragStart[0] = display.panY;
            mouse.dragStart[1] = display.panZ;
            break;
        case 1:
            mouse.dragStart[0] = display.rotationY;
            mouse.dragStart[1] = display.rotationZ;
            break;
        case 2: mouse.dragStart[0] = display.userZoom; break;
        default: break;
    }
}

void CKorbelView::OnMouseMove(int, ui::Point p) {
    mouse.currentPoint = p;
    if (mouse.buttonDown && mouse.rubberBand) {
        display.rebuildScene = 0;
        Invalidate(false);
    }
    if (mouse.selectionMode != 0 || !mouse.dragActive) return;
    ApplyDrag(p);
    display.rebuildScene = 0;
    Invalidate(false);
}

void CKorbelView::ApplyDrag(ui::Point p) {
    const int w = std::max(Width(), 1), h = std::max(Height(), 1);
    const int dx = p.x - mouse.pressPoint.x;
    const int dy = mouse.pressPoint.y - p.y;
    auto wrap = [](float angle) {
        if (angle > 360.0f) return angle - 360.0f;
        if (angle < -360.0f) return angle + 360.0f;
        return angle;
    };
    switch (mouse.mouseMode) {
        case 0:
            display.panX = 0.0f;
            display.panY = mouse.dragStart[0] + static_cast<float>(dx);
            display.panZ = mouse.dragStart[1] - static_cast<float>(dy);
            break;
        case 1:
            display.rotationY = wrap(mouse.dragStart[0] + static_cast<float>(dy * 360 / h));
            display.rotationZ = wrap(mouse.dragStart[1] + static_cast<float>(dx * 360 / w));
            break;
        case 2: {
            // A long drag downwards shrinks the picture to a twentieth at most;
            // the factor never reaches 0 or below, which would mirror it.
            const float factor = 1.0f + 2.0f * static_cast<float>(dy) / static_cast<float>(w);
            display.userZoom = mouse.dragStart[0] * std::max(factor, kLeastZoomDragFactor);
            break;
        }
        default: break;
    }
}

// The rectangle from the press to p fills the view, its centre at the
// picture's centre; a click (no extent) changes nothing.
void CKorbelView::ZoomToWindow(ui::Point p) {
    const int px = mouse.pressPoint.x, py = mouse.pressPoint.y;
    if (p.x == px || p.y == py) return;
    const int w = Width(), h = Height();
    const float fx = static_cast<float>(w) / static_cast<float>(std::abs(p.x - px));
    const float fy = static_cast<float>(h) / static_cast<float>(std::abs(p.y - py));
    const float f = std::min(fx, fy);
    display.userZoom *= f;
    display.panX = 0.0f;
    display.panY = f * display.panY + static_cast<float>(w / 2 - (p.x + px) / 2) * f;
    display.panZ = f * display.panZ + static_cast<float>(h / 2 - (p.y + py) / 2) * f;
}

void CKorbelView::OnLButtonUp(int, ui::Point p) {
    mouse.buttonDown = 0;
    mouse.currentPoint = p;
    ReleaseCapture();
    if (mouse.selectionMode != 0) {
        if (!mouse.doubleClickMark && MakeCurrent()) {
            PickAt(p.x, p.y, mouse.pressPoint.x, mouse.pressPoint.y, 1);
            ReleaseCurrent();
        }
        mouse.doubleClickMark = 0;
        return;
    }
    if (!mouse.dragActive) return;
    mouse.dragActive = 0;
    if (mouse.mouseMode == 3)
        ZoomToWindow(p);
    else
        ApplyDrag(p);
    display.rebuildScene = 0;
    Invalidate(false);
}

void CKorbelView::OnLButtonDblClk(int, ui::Point p) {
    if (mouse.selectionMode == 0) return;
    if (MakeCurrent()) {
        PickAt(p.x, p.y, p.x, p.y, 2);
        ReleaseCurrent();
    }
    mouse.doubleClickMark = 1;
}

void CKorbelView::OnRButtonDblClk(int, ui::Point) { mouse.doubleClickMark = 1; }

void CKorbelView::OnRButtonUp(int, ui::Point) {
    if (!mouse.doubleClickMark) return;
    const CKorbelDoc* doc = GetDocument();
    const int kind = GetModelData() && doc && doc->HasResults() ? 2 : 1;
    mouse.doubleClickMark = 0;
    ShowResultValues(kind);
}

// ---------------------------------------------------------------------------
// Picking

std::vector<unsigned> CKorbelView::SelectNames(int x1, int y1, int x2, int y2, int& hits) {
    std::vector<unsigned> names;
    hits = 0;
    const ModelData* model = GetModelData();
    if (!model) return names;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    viewport[2] = Width();
    viewport[3] = Height();
    const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
    const double pw = std::max(std::abs(x1 - x2), 8), ph = std::max(std::abs(y1 - y2), 8);

    std::size_t size = static_cast<std::size_t>(SelectionBufferSize(*model, mouse.selectionMode));
    // A full buffer gives no records: the pass runs once more with room
    // for every record the drawing can write.
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<GLuint> buffer(size, 0);
        glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
        glViewport(0, 0, viewport[2], viewport[3]);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glRenderMode(GL_SELECT);
        gluPickMatrix(cx, viewport[3] - cy, pw, ph, viewport);
        SetProjection();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        // The names are compiled with the scene: the list of the last paint
        // holds them while it matches the model and the display.
        display.rebuildScene = 1;
        replayWhileCurrent_ = true;
        RenderScene();
        hits = glRenderMode(GL_RENDER);
        glMatrixMode(GL_MODELVIEW);
        if (hits >= 0) {
            if (!CollectNames(buffer, hits, names)) names.clear();
            return names;
        }
        size = size * 16 + 4096;
    }
    hits = 0;
    return names;
}

std::string CKorbelView::PickText(const std::vector<unsigned>& names, int hits, int pickKind) {
    const int picked = static_cast<int>(names.front());
    if (mouse.nodeResultsPick) {
        FeedPickToResultWindows(picked);
        return std::to_string(picked);
    }
    if (pickKind == 2) {
        const CKorbelDoc* doc = GetDocument();
        return doc ? doc->FormatPickLabel(picked) : std::to_string(picked);
    }
    if (!mouse.multiPick || hits == 1) return std::to_string(picked);
    // Every named item once, in the order the drawing met them.
    std::string text;
    std::vector<unsigned> seen;
    for (unsigned name : names) {
        if (name == 0 || std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
        seen.push_back(name);
        if (!text.empty()) text += ',';
        text += std::to_string(name);
    }
    return text;
}

void CKorbelView::PickAt(int x1, int y1, int x2, int y2, int pickKind) {
    int hits = 0;
    std::vector<unsigned> names = SelectNames(x1, y1, x2, y2, hits);
    // Items drawn without a name leave records without names, or with 0.
    names.erase(std::remove(names.begin(), names.end(), 0u), names.end());
    if (!names.empty() && static_cast<int>(names.front()) > 0) {
        const std::string text = PickText(names, hits, pickKind);
        CKorbelDoc* doc = GetDocument();
        if (!mouse.nodeResultsPick && doc) doc->DispatchPick(text);
        SetPickState(CurrentSetKind(), text);
    }
    Resize(Width(), Height());
    // The pick's highlight is drawn after the list.
    replayWhileCurrent_ = true;
    Invalidate(false);
}

void CKorbelView::FeedPickToResultWindows(int node) { ShowNodeInResultDialogs(node); }
