// The section sketches of the orthotropic rigidity dialogs, drawn in code in
// the dialog's sketch frame and labelled with the names its fields ask for:
// the reinforcement layers about the middle plane (As1..As4 at x1..x4), the
// stiffeners in y and z under the slab (h1, b1, c1 and h2, b2, c2), the box
// cells (n cells of width b and height h), and for the user-defined rigidities
// the plain slab of thickness t with its y axis.
#pragma once

#include "platform/ui/Controls.h"

namespace orthosketch {

// The sketch of the material type over the painter's whole surface.
void Draw(ui::Painter& p, int materialType);

}  // namespace orthosketch

class OrthoSketch : public ui::Drawable {
public:
    explicit OrthoSketch(int materialType) : m_type(materialType) {}
    bool EraseBackground(ui::Painter& p) override;
    void Draw(ui::Painter& p) override { orthosketch::Draw(p, m_type); }

private:
    int m_type;
};
