// Placing what a diagram does not place: every object of a scene without a
// rectangle gets one, sized to what its shape shows (NaturalSizeOf) and put
// by the layered layout (src/orba/layout) among the objects that have one,
// which keep theirs. A port whose owner is on the diagram sits on the
// owner's border; parts inside an unplaced owner are laid out within it.
// Internal block diagrams run left to right, the others top to bottom.
#pragma once

#include <chrono>
#include <string>

#include "orba/canvas/text_measure.h"
#include "orba/diagrams/scene.h"
#include "orba/layout/layout.h"

namespace orba::diagrams {

// Answers why the layout fell back to a grid ("" when it did not, or when
// every object was placed already).
std::string LayOutScene(Scene& scene, const canvas::TextMeasure& measure,
                        std::chrono::milliseconds time_limit);

// What LayOutScene asks the layout for: the scene's objects as nodes, ports
// and clusters, its links as edges (ports of holders are left out; they are
// placed on the holder's border afterwards).
layout::LayoutRequest LayoutRequestOf(const Scene& scene, const canvas::TextMeasure& measure);

}  // namespace orba::diagrams
