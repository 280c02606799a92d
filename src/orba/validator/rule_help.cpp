#include "orba/validator/rule_help.h"

#include <string_view>

namespace orba::validator {
namespace {

struct Help {
  std::string_view message;
  std::string_view help;
};

constexpr Help kHelp[] = {
    {"A view can only import elements and must not own them",
     "A view («view» package) shows model elements chosen by its viewpoint; it gathers them by "
     "importing them, it does not own them. Move the owned element to another package and "
     "import it into the view."},
    {"A viewpoint cannot own operations",
     "A viewpoint describes stakeholders, concerns, languages and methods in its tagged values; "
     "it has no behavior of its own. Remove the operation, or move it to a block."},
    {"A viewpoint cannot own attributes",
     "A viewpoint's only properties are its viewpoint tags (stakeholders, purpose, concerns, "
     "languages, presentation). Remove the attribute, or move it to a block."},
    {"A viewpoint must be abstract",
     "A viewpoint is a specification that views conform to and is never instantiated. Make the "
     "viewpoint abstract."},
    {"A viewpoint cannot be the classifier of an instance specification",
     "Viewpoints are abstract and have no instances. Delete the instance specification, or "
     "classify it by a block."},
    {"The number of ends of an association must be exactly two",
     "SysML relates blocks by binary associations only. Replace the association of more than two "
     "ends by binary associations, or by a block that stands for the relationship."},
    {"The aggregation attribute of a property may not have a value of shared",
     "A block's property is a part (composite aggregation) or a reference (none); shared "
     "aggregation has no meaning for blocks. Make the association end composite or none."},
    {"The type of a BlockProperty must be a block",
     "A part or reference property stands for an instance of another block, so its type must be "
     "a block. Type the property by a block, or make it a value property if a value type is "
     "meant."},
    {"A FlowPort must be typed by a FlowSpecification, Block, Signal, DataType or ValueType",
     "A flow port's type says what can flow through it: a flow specification (a non-atomic "
     "port), or a block, signal, data type or value type (an atomic port). Type the port by one "
     "of these."},
    {"A non-atomic FlowPort must have a direction of none",
     "A port typed by a flow specification takes the direction of each item from the flow "
     "properties of that specification; its own direction must be none. Clear the port's "
     "direction."},
    {"An atomic FlowPort must not have a direction of none",
     "A port typed by a block, signal, data type or value type carries one kind of item in one "
     "direction. Set its direction to in, out or inout."},
    {"Connected FlowPorts must have matching or compatible types",
     "Items flow between connected ports only when both carry the same kind of item. Type both "
     "ports by the same flow specification or type, or by compatible ones."},
    {"FlowPorts and connected nested FlowPorts must have matching directions",
     "A port connected to a port of a part inside its own block passes items on (delegation), so "
     "both have the same direction. Make the directions equal."},
    {"FlowPorts and connected unnested FlowPorts must have opposite directions",
     "Between ports of two parts, what leaves one enters the other: out connects to in. Make the "
     "directions opposite, or inout on both."},
    {"A FlowProperty must be typed by a ValueType, DataType, Block or Signal",
     "A flow property names a kind of item that flows. Type it by a value type, data type, "
     "block or signal."},
    {"FlowSpecifications can only own FlowProperties",
     "A flow specification lists the items a non-atomic flow port carries, as flow properties "
     "and nothing else. Remove its other features, or make them flow properties."},
    {"itemProperty must not be assigned when ItemFlow is a stereotyped Association",
     "An item property names a property of the block that encloses a connector; an item flow on "
     "an association has no such block. Clear the itemProperty tag, or put the item flow on a "
     "connector."},
    {"The itemFlow stereotype can only be assigned to a Connector or an Association",
     "An item flow is carried by a connector or an association. Remove «itemFlow» from this "
     "relationship, or model the flow as a connector."},
    {"The type of a constraint property must be a constraint block",
     "A constraint property is the use of a constraint block in a parametric model. Type it by a "
     "«constraintBlock»."},
    {"For composite association between behaviors, the part end name must match an action "
     "contained at the whole end",
     "A composite association between activities stands for a call behavior action of the whole "
     "activity; the part end's name is that action's name. Rename the end to the action's name, "
     "or add the action."},
    {"For composite associations between behaviors, the lower multiplicity at the part end must "
     "be zero",
     "A called activity runs only while its action runs, so the whole activity may hold none of "
     "it. Set the lower multiplicity of the part end to 0."},
    {"For associations between activities and object nodes, the object node name must match an "
     "object node contained in the activity",
     "An association from an activity to the type of an object node stands for that object "
     "node; the end's name is the object node's name. Rename the end, or add the object node."},
    {"For associations between activities and object nodes, the classifier must be the same as "
     "the type of the corresponding object node",
     "The type at the object node's end of the association is the object node's type. Make them "
     "the same."},
    {"For associations between activities and object nodes, the lower multiplicity at the object "
     "node type end must be zero",
     "Object tokens exist only while they are in the activity, so the activity may hold none. "
     "Set the lower multiplicity at the object node's end to 0."},
    {"When a behavior has the controlOperator stereotype, it must have at least one activity "
     "parameter typed by ControlValue",
     "A control operator enables and disables other actions through control values. Give it an "
     "activity parameter typed by ControlValue, or remove «controlOperator»."},
    {"When an operation has the controlOperator stereotype, it must have at least one parameter "
     "typed by ControlValue",
     "A control operator enables and disables other actions through control values. Give the "
     "operation a parameter typed by ControlValue, or remove «controlOperator»."},
    {"A parameter with the optional stereotype must have lower multiplicity of zero",
     "«optional» means the parameter need not be given. Set its lower multiplicity to 0, or "
     "remove «optional»."},
    {"A parameter without the optional stereotype must have lower multiplicity greater than zero",
     "A parameter that is not «optional» must be given on every call. Set its lower multiplicity "
     "to 1 or more, or apply «optional»."},
    {"The probability stereotype can only be applied to output parameters",
     "«probability» gives the likelihood that values leave through an output parameter. Remove "
     "it from parameters that are not outputs."},
    {"If one output parameter has the probability stereotype then they all must have",
     "The probabilities of a behavior's outputs add up to one, so they are given for all of "
     "them or for none. Add «probability» to the other output parameters, or remove it."},
    {"The probability stereotype can only be applied to activity edges that have decision nodes "
     "or object nodes as sources",
     "«probability» on an edge gives the chance that a token takes it; only edges leaving a "
     "decision node or an object node choose between paths. Remove it from this edge."},
    {"A derive dependency must have requirement at each end",
     "«deriveReqt» relates a requirement to the requirement it is derived from. Connect two "
     "requirements, or use another relationship such as «trace»."},
    {"A requirement cannot participate in associations",
     "Requirements relate to the model by satisfy, verify, derive, refine, trace and "
     "containment, not by associations. Replace the association by one of these."},
    {"A requirement cannot participate in generalizations",
     "Requirements are not specialized; they are organized by containment and derivation. "
     "Replace the generalization by containment or «deriveReqt»."},
    {"A satisfy dependency must have requirement at supplier end",
     "«satisfy» points from the design element (client) to the requirement it satisfies "
     "(supplier). Make the supplier a requirement, or turn the dependency around."},
    {"A verify dependency must have a testCase at the client end",
     "«verify» points from the test case (client) to the requirement it verifies. Make the "
     "client a «testCase» behavior or operation."},
    {"A verify dependency must have a requirement at supplier end",
     "«verify» points from the test case (client) to the requirement it verifies (supplier). "
     "Make the supplier a requirement."},
    {"A conform dependency must have a view at the client end",
     "«conform» says that a view conforms to a viewpoint. Make the client a «view» package."},
    {"A conform dependency must have a viewpoint at supplier end",
     "«conform» says that a view conforms to a viewpoint. Make the supplier a «viewpoint»."},
    {"A copy dependency must have a requirement at the client end",
     "«copy» makes the client a read-only copy of a requirement. Make the client a requirement."},
    {"A copy dependency must have a requirement at supplier end",
     "«copy» makes a read-only copy of the supplier, the master requirement. Make the supplier a "
     "requirement."},
    {"The dimension tagged value must not contain a value",
     "A dimension or a unit is not itself measured in a dimension here. Clear its dimension "
     "tag."},
    {"The unit tagged value must not contain a value",
     "A dimension or a unit is not itself given in a unit. Clear its unit tag."},
    {"The dimension tagged value must reference a dimension",
     "The dimension tag names the quantity kind that is measured; it must refer to an element "
     "stereotyped «dimension». Point it at one."},
    {"The unit tagged value must reference a unit",
     "The unit tag of a value type must refer to an element stereotyped «unit». Point it at "
     "one."},
    {"The dimension tagged value must be the same as that of the unit referenced by the unit "
     "tagged value",
     "A value type measures what its unit measures (a unit of length for a length). Give the "
     "value type its unit's dimension, or choose a unit of its dimension."},
};

}  // namespace

std::string RuleHelp(const std::string& message) {
  for (const Help& entry : kHelp) {
    if (entry.message == message) return std::string(entry.help);
  }
  return "";
}

}  // namespace orba::validator
