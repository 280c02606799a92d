#include "resources/string_table.h"

#include <map>

#include "resources/resource_table.h"

namespace resources {

// The tables below are kept as rows, one entry to a line or two.
// clang-format off

namespace {

const std::map<int, std::string>& Table() {
  static const std::map<int, std::string> table = {
      {101, "-&SysML Technology"},
      {102, "&Unload SysML Technology"},
      {103, "&Load SysML Technology"},
      {104, "Unable to Load Technology File"},
      {105, "Unable to Unload Technology File"},
      {106, "No Model Open!"},
      {107, "&Help"},
      {108, "&New Diagram"},
      {110, "Add-in will only work with Orba 6.5 or later."},
      {111, "New &Block Definition Diagram"},
      {112, "New &Internal Block Diagram"},
      {113, "Please select a package in the model tree for the new diagram."},
      {114, "A diagram cannot be added to a root model: please select a package inside it."},
      {116, "New &Parametric Diagram"},
      {117, "New &Requirements Diagram"},
      {118, "Activate SysML Perspective"},
      {119, "&About"},
      {122, "&View Allocations"},
      {123, "Open SysML &Example Model"},
      {124, "-&SysML Toolbox Visibility"},
      {125, "Show Always"},
      {126, "Only Show with SysML Perspective"},
      {127, "Quindle Technology for SysML"},
      {128, "Systems Modelling Language (SysML) Rules"},
      {129, "A view can only import elements and must not own them"},
      {130, "A viewpoint cannot own operations"},
      {131, "A viewpoint cannot own attributes"},
      {132, "A viewpoint must be abstract"},
      {133, "A viewpoint cannot be the classifier of an instance specification"},
      {134, "The number of ends of an association must be exactly two"},
      {135, "The aggregation attribute of a property may not have a value of shared"},
      {136, "The type of a BlockProperty must be a block"},
      {137, "A FlowPort must be typed by a FlowSpecification, Block, Signal, DataType or ValueType"},
      {138, "A non-atomic FlowPort must have a direction of none"},
      {139, "An atomic FlowPort must not have a direction of none"},
      {140, "Connected FlowPorts must have matching or compatible types"},
      {141, "FlowPorts and connected nested FlowPorts must have matching directions"},
      {142, "FlowPorts and connected unnested FlowPorts must have opposite directions"},
      {143, "A FlowProperty must be typed by a ValueType, DataType, Block or Signal"},
      {144, "FlowSpecifications can only own FlowProperties"},
      {145, "itemProperty must not be assigned when ItemFlow is a stereotyped Association"},
      {146, "The itemFlow stereotype can only be assigned to a Connector or an Association"},
      {148, "The type of a constraint property must be a constraint block"},
      {149, "For composite association between behaviors, the part end name must match an action "
            "contained at the whole end"},
      {150, "For composite associations between behaviors, the lower multiplicity at the part end "
            "must be zero"},
      {151, "For associations between activities and object nodes, the object node name must match "
            "an object node contained in the activity"},
      {152, "For associations between activities and object nodes, the classifier must be the same "
            "as the type of the corresponding object node"},
      {153, "For associations between activities and object nodes, the lower multiplicity at the "
            "object node type end must be zero"},
      {154, "When a behavior has the controlOperator stereotype, it must have at least one activity "
            "parameter typed by ControlValue"},
      {155, "When an operation has the controlOperator stereotype, it must have at least one "
            "parameter typed by ControlValue"},
      {156, "A parameter with the optional stereotype must have lower multiplicity of zero"},
      {157, "A parameter without the optional stereotype must have lower multiplicity greater than "
            "zero"},
      {158, "The probability stereotype can only be applied to output parameters"},
      {159, "If one output parameter has the probability stereotype then they all must have"},
      {160, "The probability stereotype can only be applied to activity edges that have decision "
            "nodes or object nodes as sources"},
      {161, "A derive dependency must have requirement at each end"},
      {162, "A requirement cannot participate in associations"},
      {163, "A requirement cannot participate in generalizations"},
      {164, "A satisfy dependency must have requirement at supplier end"},
      {165, "A verify dependency must have a testCase at the client end"},
      {166, "A verify dependency must have a requirement at supplier end"},
      {167, "A conform dependency must have a view at the client end"},
      {168, "A conform dependency must have a viewpoint at supplier end"},
      {169, "A copy dependency must have a requirement at the client end"},
      {170, "A copy dependency must have a requirement at supplier end"},
      {171, "The dimension tagged value must not contain a value"},
      {172, "The unit tagged value must not contain a value"},
      {173, "The dimension tagged value must reference a dimension"},
      {174, "The unit tagged value must reference a unit"},
      {175, "The dimension tagged value must be the same as that of the unit referenced by the unit "
            "tagged value"},
      {178, "&Options"},
      {179, "Vie&w Requirements"},
  };
  return table;
}

}  // namespace

const std::string& LoadResString(int id) {
  auto found = Table().find(id);
  if (found == Table().end()) {
    throw ResourceError("the string table has no string " + std::to_string(id));
  }
  return found->second;
}

// clang-format on

}  // namespace resources
