// Highlights and sets named by item texts: numbers, ranges, set names and
// "ALL", drawn as node points, element faces with their outline, or element
// sides.

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "model/ModelData.h"
#include "model/SetWalk.h"
#include "platform/gl/GlIncludes.h"
#include "viz/ElementGeometry.h"
#include "viz/Scene.h"

namespace viz {

namespace {

enum ItemKind { kNodes = 1, kElements = 2, kSides = 3 };

// Visits the rows an item text names: (row, side 1..4); side is 0 for nodes
// and elements.
class ItemWalk {
public:
    using Visit = std::function<void(int row, int side)>;

    ItemWalk(const ModelData& model, int kind, Visit visit) : model_(model), kind_(kind), visit_(std::move(visit)) {}

    void Text(const std::string& text)
    {
        if (text.empty()) return;
        for (const std::string& item : setwalk::ListItems(text)) {
            if (setwalk::IsNumberItem(item))
                NumberItem(item);
            else
                Name(item);
        }
    }

private:
    // The largest number in use of the kind: ranges stop there.
    int Limit() const
    {
        return static_cast<int>(kind_ == kNodes ? model_.nodeLookup.size() : model_.elementLookup.size());
    }

    int RowOf(int number) const
    {
        return kind_ == kNodes ? model_.NodeRowOfNumber(number) : model_.ElementRowOfNumber(number);
    }

    void Number(int number, int side)
    {
        const int row = RowOf(number);
        if (row >= 0) visit_(row, side);
    }

    // An edge code 4 x element + side.
    void EdgeCode(int code)
    {
        const int element = (code - 1) / 4;
        Number(element, code - 4 * element);
    }

    void NumberItem(const std::string& item)
    {
        if (item.find(';') == std::string::npos) {
            const int n = ParseInt(item);
            if (kind_ == kSides)
                EdgeCode(n);
            else
                Number(n, 0);
            return;
        }
        int first = 0, last = 0, step = 1, side = 1;
        ParseRangeText(item, first, last, step, side);
        if (step < 1) step = 1;
        if (last < first) last = first;
        setwalk::ForEachInRange(first, last, step, Limit(), [&](int n) { Number(n, kind_ == kSides ? side : 0); });
    }

    void Name(const std::string& name)
    {
        if (name == "ALL") {
            All();
            return;
        }
        // Each set is expanded once: a set naming itself, or one naming an
        // enclosing set, ends there.
        for (const std::string& seen : expanded_)
            if (seen == name) return;
        expanded_.push_back(name);
        const SetMemberList* members = model_.FindSetTable(kind_, name);
        setwalk::WalkSetMembers(
            members, Limit(), [&](int n, int side) { Number(n, kind_ == kSides ? side : 0); },
            [&](const std::string& nested) { Name(nested); });
    }

    void All()
    {
        if (kind_ == kNodes) {
            for (int i = 0; i < model_.GetNodeCount(); ++i) visit_(i, 0);
            return;
        }
        for (int e = 0; e < model_.GetElementCount(); ++e) {
            if (kind_ == kElements) {
                visit_(e, 0);
                continue;
            }
            for (int s = 0; s < 4; ++s)
                if (EdgeFlag(model_, e, s) < 2) visit_(e, s + 1);
        }
    }

    const ModelData& model_;
    int kind_;
    Visit visit_;
    std::vector<std::string> expanded_;
};

// The number in the text field that starts at `at`, read up to its first
// character that cannot belong to one; 0 beyond the text.
double FieldNumber(const std::string& text, std::size_t at)
{
    if (at >= text.size()) return 0.0;
    return std::strtod(text.c_str() + at, nullptr);
}

} // namespace

void DrawNodeSet(const ModelData& model, int deformed, int step, const std::string& text, float pointSize)
{
    if (text.empty()) return;
    if (model.drawPickKind == 4) {
        DrawPoint(FieldNumber(text, 0), FieldNumber(text, 20), FieldNumber(text, 40), pointSize);
        return;
    }
    ItemWalk(model, kNodes, [&](int row, int) {
        double x, y, z;
        model.NodePosition(x, y, z, row, deformed, step);
        DrawPoint(x, y, z, pointSize);
    }).Text(text);
}

void DrawElementSet(const ModelData& model, int deformed, int step, const std::string& text, int showThickness)
{
    ItemWalk(model, kElements, [&](int row, int) {
        DrawElementFace(model, deformed, step, row, showThickness);
        glPushAttrib(GL_CURRENT_BIT);
        SetColor(50, 50, 50);
        for (int side = 0; side < 4; ++side) DrawElementSideIndex(model, deformed, step, row, side, showThickness, 0, 1);
        glPopAttrib();
    }).Text(text);
}

void DrawEdgeSet(const ModelData& model, int deformed, int step, const std::string& text, int showThickness,
                 int lineWidth)
{
    ItemWalk(model, kSides, [&](int row, int side) {
        DrawElementSideNumber(model, deformed, step, row, side, showThickness, 0, lineWidth);
    }).Text(text);
}

} // namespace viz
