// Views of a model made for it, without changing it: a block definition
// diagram per package that holds blocks (the blocks and the connectors
// between them: compositions, generalizations, associations), an internal
// block diagram per block with parts (its parts inside it, their ports and
// the connectors between them), and a requirements diagram per package that
// holds requirements (the requirements and their satisfy, verify, derive,
// refine, trace and copy relations, with the items at the other ends).
// Nothing in them is placed: LayOutScene places them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "orba/diagrams/scene.h"

namespace orba::diagrams {

struct GeneratedView {
  std::string file_stem;  // "bdd-Structure", "ibd-HybridElectricVehicle", ...
  Scene scene;
};

std::vector<GeneratedView> GenerateViews(store::ModelSession& session,
                                         const std::map<std::string, DiagramType>& types,
                                         const CompartmentReader& compartments);

}  // namespace orba::diagrams
