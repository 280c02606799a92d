// One function per profile, each a table: a row per stereotype in document
// order, then the toolbox order exactly as it stands (repeats and gaps included).
#include "profiles.h"

#include <utility>

#include "property_sets.h"

namespace technology {

// The tables below are kept as rows, one entry to a line or two.
// clang-format off

namespace {

const char kProfileNote[] = "SysML Profile stereotype";
const std::vector<TaggedValueType> kNoTaggedValueTypes;

BaseType Applies(std::string type) { return {BaseType::Kind::kApply, std::move(type), {}}; }

BaseType AppliesToStereotype(std::string stereotype) {
  return {BaseType::Kind::kApplyStereotype, std::move(stereotype), {}};
}

BaseType Redefines(std::string type) { return {BaseType::Kind::kRedefine, std::move(type), {}}; }

// A stereotype that only re-exposes a host item under its own name.
Stereotype Redefining(std::string name, std::string type) {
  return {.name = std::move(name), .base_types = {Redefines(std::move(type))}};
}

Tag TypedByTaggedValueType(std::string name) {
  return {.name = std::move(name), .typed_by_tagged_value_type = true};
}

Tag StringTag(std::string name) { return {.name = std::move(name), .type = "string"}; }

Profile ModelElements() {
  return {
      .id = "1EFB0C4F-B",
      .name = "SysML Model Elements",
      .notes = "SysML miscellaneous elements, primarily those concerned with model subdivision.",
      .stereotypes =
          {
              {.name = "Package", .base_types = {Redefines("Package")}, .empty_applies_to = true},
              {.name = "problem", .notes = kProfileNote, .base_types = {Applies("Note")},
               .attributes = {.metatype = "Problem"}},
              {.name = "rationale", .notes = kProfileNote, .base_types = {Applies("Note")},
               .attributes = {.metatype = "Rationale"}},
              {.name = "Nesting", .notes = kProfileNote, .base_types = {Redefines("Nesting")},
               .empty_applies_to = true},
              {.name = "refine", .notes = kProfileNote, .base_types = {Applies("Dependency")},
               .attributes = {.metatype = "Refine"}},
              Redefining("Note", "Note"),
              Redefining("Constraint", "Constraint"),
              {.name = "model", .base_types = {Applies("Package")}, .attributes = {.metatype = "Model"}},
              Redefining("Dependency", "Dependency"),
              {.name = "PackageImport", .notes = kProfileNote, .base_types = {Applies("Dependency")},
               .attributes = {.metatype = "PackageImport"},
               .tags = {{"visibility", "enumeration", "public,private", "public"}},
               .shape_script = "package_import"},
              {.name = "Realization", .base_types = {Redefines("Realisation")}, .empty_applies_to = true},
          },
      .tagged_value_types = kNoTaggedValueTypes,
      .toolbox = {{{"model::package", 0}, {"::package", 1}, {"::note", 2}, {"::constraint", 3},
                   {"problem::note", 4}, {"rationale::note", 5}, {"PackageImport::dependency", 6},
                   {"::dependency", 7}, {"::nesting", 8}, {"refine::dependency", 9}, {"::realisation", 10}}},
  };
}

Profile BlockDefinition() {
  return {
      .id = "B8B33E09-A",
      .name = "SysML Block Definition",
      .notes = "SysML block definition diagram elements",
      .stereotypes =
          {
              {.name = "block", .notes = kProfileNote, .base_types = {Applies("Class")},
               .attributes = {.metatype = "Block", .instance_mode = "property",
                              .instance_type = "BlockProperty"},
               .tags = {{"isEncapsulated", "Boolean", "True,False"}}},
              {.name = "dataType", .base_types = {Applies("Class")}, .attributes = {.metatype = "DataType"}},
              {.name = "valueType", .notes = kProfileNote,
               .attributes = {.metatype = "ValueType", .generalizes = "dataType"},
               .tags = {TypedByTaggedValueType("dimension"), TypedByTaggedValueType("unit")}},
              {.name = "Actor", .base_types = {Applies("Actor")},
               .attributes = {.metatype = "Actor", .instance_mode = "property", .instance_type = "ActorPart"}},
              {.name = "enumeration", .base_types = {Applies("Class")},
               .attributes = {.metatype = "Enumeration"}},
              Redefining("Dependency", "Dependency"),
              Redefining("ReferenceAssociation", "Association"),
              Redefining("PartAssociation", "Composition"),
              Redefining("SharedAssociation", "Aggregation"),
              Redefining("Nesting", "Nesting"),
              Redefining("Generalize", "Generalization"),
              {.name = "unit", .attributes = {.metatype = "Unit", .generalizes = "valueType"}},
              {.name = "dimension", .attributes = {.metatype = "Dimension", .generalizes = "valueType"}},
              Redefining("Association", "n-ary Association"),
          },
      .tagged_value_types = {{{"dimension", "Type=RefGUID;Stereotypes=dimension;"},
                              {"unit", "Type=RefGUID;Stereotypes=unit;"}}},
      .toolbox = {{{"block::class", 0}, {"Actor::actor", 1}, {"dataType::class", 2}, {"valueType::class", 3},
                   {"dimension::class", 4}, {"unit::class", 5}, {"enumeration::class", 6}, {"::dependency", 7},
                   {"::association", 8}, {"::composition", 9}, {"::aggregation", 10},
                   {"::generalization", 11}, {"::nesting", 12}, {"::n-ary association", 13}}},
  };
}

Profile BlockInternal() {
  return {
      .id = "FEF2C883-F",
      .name = "SysML Block Internal",
      .notes = "SysML internal block diagram elements",
      .stereotypes =
          {
              {.name = "BlockProperty", .notes = kProfileNote, .base_types = {Applies("Part")},
               .attributes = {.metatype = "BlockProperty"}},
              {.name = "ActorPart", .base_types = {Applies("Part")}, .attributes = {.metatype = "ActorPart"}},
              {.name = "InternalProperty", .base_types = {Applies("Part")},
               .attributes = {.metatype = "InternalProperty"}},
              Redefining("Dependency", "Dependency"),
              Redefining("Connector", "Connector"),
          },
      .tagged_value_types = kNoTaggedValueTypes,
      .toolbox = {{{"BlockProperty::part", 0}, {"ActorPart::part", 1}, {"InternalProperty::part", 2},
                   {"::dependency", 3}, {"::connector", 4}}},
  };
}

Profile Flows() {
  const Tag direction{"direction", "enumeration", "in,out,inout,none", "inout"};
  return {
      .id = "AEABC7C8-5",
      .name = "SysML Flows",
      .notes = "SysML flow elements",
      .stereotypes =
          {
              Redefining("Port", "Port"),
              {.name = "flowPort", .notes = kProfileNote, .base_types = {Applies("Port")},
               .attributes = {.metatype = "FlowPort", .strictness = "all"},
               .tags = {direction, {"isConjugated", "boolean", "true,false", "false"}},
               .shape_script = "flow_port"},
              {.name = "flowProperty", .notes = kProfileNote, .base_types = {Applies("Part")},
               .attributes = {.metatype = "FlowProperty"}, .tags = {direction}},
              {.name = "flowSpecification", .notes = kProfileNote, .base_types = {Applies("Interface")},
               .attributes = {.metatype = "FlowSpecification", .instance_mode = "property",
                              .instance_type = "FlowProperty", .instance_owner = "Block"}},
              {.name = "itemFlow", .notes = kProfileNote, .base_types = {Applies("Connector")},
               .attributes = {.metatype = "ItemFlow"}, .tags = {TypedByTaggedValueType("itemProperty")},
               .shape_script = "item_flow"},
          },
      .tagged_value_types = {{{"itemProperty", "Type=RefGUID;Stereotypes=BlockProperty;"}}},
      .toolbox = {{{"::port", 0}, {"flowPort::port", 1}, {"flowProperty::part", 2},
                   {"flowSpecification::interface", 3}, {"itemFlow::connector", 4}}},
  };
}

Profile Parametric() {
  return {
      .id = "5137044C-A",
      .name = "SysML Parametric",
      .notes = "SysML parametric diagram elements.",
      .stereotypes =
          {
              {.name = "constraintBlock", .notes = kProfileNote, .base_types = {Applies("Class")},
               .attributes = {.metatype = "ConstraintBlock", .instance_mode = "property",
                              .instance_type = "ConstraintProperty"}},
              {.name = "internalProperty", .notes = kProfileNote, .base_types = {Applies("Port")},
               .attributes = {.metatype = "InternalProperty"}, .shape_script = "internal_property"},
              {.name = "constraintProperty", .notes = kProfileNote, .base_types = {Applies("Part")},
               .attributes = {.metatype = "ConstraintProperty"}, .shape_script = "constraint_property"},
              {.name = "moe", .base_types = {AppliesToStereotype("BlockProperty")},
               .attributes = {.alias = "Measure of Effectiveness"}},
              {.name = "objectiveFunction",
               .base_types = {AppliesToStereotype("constraintBlock"),
                              AppliesToStereotype("constraintProperty")},
               .attributes = {.alias = "Objective Function"}},
          },
      .toolbox = {{{"constraintBlock::class", 0}, {"constraintProperty::part", 1},
                   {"internalProperty::port", 2}}},
  };
}

// Defined here and again in the activity profile, alike in both.
Stereotype AllocateActivityPartition() {
  return {.name = "allocateActivityPartition", .base_types = {Applies("ActivityPartition")},
          .attributes = {.metatype = "AllocateActivityPartition"}};
}

Profile Allocations() {
  return {
      .id = "9A294ABB-B",
      .name = "SysML Allocations",
      .notes = "SysML allocation elements",
      .stereotypes =
          {
              AllocateActivityPartition(),
              {.name = "allocate", .base_types = {Applies("Dependency")},
               .attributes = {.metatype = "Allocate"}},
              {.name = "allocated", .base_types = {Applies("Note")}, .attributes = {.metatype = "Allocated"},
               .tags = {StringTag("allocatedFrom"), StringTag("allocatedTo")}},
          },
      .tagged_value_types = kNoTaggedValueTypes,
      .toolbox = {{{"allocate::dependency", 0}, {"allocated::note", 1},
                   {"allocateActivityPartition::activitypartition", 2}}},
  };
}

Profile State() {
  return {
      .id = "84A96343-C",
      .name = "SysML State",
      .notes = "UML4SysML state diagram elements.",
      .stereotypes =
          {
              Redefining("State", "State"),
              Redefining("Initial", "InitialState"),
              Redefining("Final", "FinalState"),
              Redefining("History", "HistoryState"),
              Redefining("Synch", "SynchState"),
              Redefining("Choice", "Choice"),
              Redefining("Junction", "Junction"),
              Redefining("Entry", "EntryPoint"),
              Redefining("Exit", "ExitPoint"),
              Redefining("Terminate", "Terminate"),
              {.name = "Fork/Join", .base_types = {Redefines("Synch(H)"), Redefines("Synch(V)")}},
              Redefining("Transition", "StateFlow"),
          },
      .tagged_value_types = kNoTaggedValueTypes,
      .toolbox = {{{"::state", 0}, {"::initialstate", 1}, {"::finalstate", 2}, {"::historystate", 3},
                   {"::synchstate", 4}, {"::choice", 6}, {"::junction", 7}, {"::entrypoint", 8},
                   {"::exitpoint", 9}, {"::terminate", 10}, {"::synch(h)", 11}, {"::synch(v)", 12},
                   {"::stateflow", 13}}},
  };
}

Profile Activity() {
  const Tag rate{"rate", "enumeration", "continuous,discrete"};
  return {
      .id = "F88CEC74-5",
      .name = "SysML Activity",
      .notes = "UML4SysML activity diagram elements and SysML activity diagram extensions.",
      .stereotypes =
          {
              Redefining("Activity", "Activity"),
              Redefining("Structured Activity", "Sub-Activity"),
              Redefining("CallBehaviorAction", "Action"),
              AllocateActivityPartition(),
              Redefining("Datastore", "DataStore"),
              Redefining("Decision", "Decision"),
              Redefining("Merge", "MergeNode"),
              Redefining("Synch", "SynchState"),
              Redefining("Initial", "ActivityInitial"),
              Redefining("Final", "ActivityFinal"),
              Redefining("Flow Final", "FlowFinal"),
              Redefining("Region", "ActivityRegion"),
              Redefining("Exception", "ExceptionHandler"),
              {.name = "Fork/Join", .base_types = {Redefines("Synch(H)"), Redefines("Synch(V)")}},
              {.name = "Control Flow", .base_types = {Redefines("ControlFlow")}, .empty_applies_to = true},
              {.name = "objectFlow", .base_types = {Applies("ObjectFlow")},
               .attributes = {.metatype = "ObjectFlow"}, .shape_script = "object_flow"},
              Redefining("Dependency", "Dependency"),
              Redefining("Interrupt Flow", "InterruptFlow"),
              {.name = "optional", .notes = kProfileNote,
               .base_types = {Applies("ActivityParameter"), Applies("ActionPin")},
               .attributes = {.metatype = "Optional"}},
              {.name = "continuous", .notes = kProfileNote,
               .attributes = {.metatype = "Continuous", .generalizes = "rate"},
               .tags = {{"rate", "enumeration", "continuous,discrete", "continuous"}}},
              {.name = "discrete", .notes = kProfileNote,
               .attributes = {.metatype = "Discrete", .generalizes = "rate"},
               .tags = {{"rate", "enumeration", "continuous,discrete", "discrete"}}},
              {.name = "probability", .notes = kProfileNote,
               .base_types = {Applies("ActivityParameter"), Applies("ControlFlow"), Applies("ObjectFlow")},
               .attributes = {.metatype = "Probability"}, .tags = {{"probability", "value"}}},
              {.name = "controlOperator", .notes = kProfileNote,
               .base_types = {Applies("Action"), Applies("Activity"), Applies("Operation")},
               .attributes = {.metatype = "ControlOperator"}},
              {.name = "noBuffer", .notes = kProfileNote, .base_types = {Applies("ObjectNode")},
               .attributes = {.metatype = "NoBuffer"}},
              {.name = "overwrite", .notes = kProfileNote, .base_types = {Applies("ObjectNode")},
               .attributes = {.metatype = "Overwrite"}},
              Redefining("Part", "Part"),
              {.name = "rate",
               .base_types = {Applies("ActionPin"), Applies("ControlFlow"), Applies("ActivityParameter"),
                              Applies("ObjectFlow")},
               .attributes = {.is_abstract = "1"}, .tags = {rate}},
              Redefining("Action", "Action"),
              Redefining("AcceptEvent", "Action"),
              Redefining("TimeEvent", "Action"),
              Redefining("SendSignal", "Action"),
          },
      .toolbox = {{{"::activity", 0}, {"::sub-activity", 1}, {"::action", 2},
                   {"allocateActivityPartition::activitypartition", 3}, {"::datastore", 5}, {"::decision", 6},
                   {"::mergenode", 7}, {"::synchstate", 8}, {"::activityinitial", 9}, {"::activityfinal", 10},
                   {"::flowfinal", 11}, {"::activityregion", 12}, {"::exceptionhandler", 13},
                   {"::synch(h)", 14}, {"::synch(v)", 15}, {"::controlflow", 16}, {"objectFlow::objectflow", 16},
                   {"::interruptflow", 18}, {"::dependency", 19}, {"continuous::actionpin", 20},
                   {"continuous::controlflow", 21}, {"continuous::objectflow", 22},
                   {"continuous::activityparameter", 23}, {"controlOperator::activity", 24},
                   {"controlOperator::action", 25}, {"controlOperator::operation", 26},
                   {"discrete::actionpin", 27}, {"discrete::controlflow", 28}, {"discrete::objectflow", 29},
                   {"discrete::activityparameter", 30}, {"noBuffer::objectnode", 31},
                   {"optional::activityparameter", 32}, {"optional::actionpin", 33},
                   {"overwrite::objectnode", 34}, {"probability::activityparameter", 35},
                   {"probability::controlflow", 36}, {"probability::objectflow", 37}, {"::part", 37}}},
  };
}

Profile Interaction() {
  return {
      .id = "5024EDEC-7",
      .name = "SysML Interaction",
      .notes = "UML4SysML sequence diagram elements.",
      .stereotypes =
          {
              Redefining("Actor", "Actor"),
              Redefining("Fragment", "InteractionFragment"),
              Redefining("Diagram Gate", "DiagramGate"),
              Redefining("State/Continuation", "InteractionState"),
              Redefining("Message", "Message"),
              Redefining("Sequence", "Sequence"),
          },
      .tagged_value_types = kNoTaggedValueTypes,
      .toolbox = {{{"::actor", 0}, {"::sequence", 1}, {"::interactionfragment", 3}, {"::diagramgate", 4},
                   {"::interactionstate", 5}, {"::message", 6}}},
  };
}

Profile UseCase() {
  return {
      .id = "A7A06CDD-E",
      .name = "SysML Use Case",
      .notes = "UML4SysML use case elements.",
      .stereotypes =
          {
              Redefining("Actor", "Actor"),
              Redefining("Use Case", "UseCase"),
              Redefining("Boundary", "SysBoundary"),
              Redefining("Associate", "Association"),
              Redefining("Generalize", "Generalization"),
              Redefining("Include", "Include"),
              Redefining("Extend", "Extend"),
              Redefining("Realize", "Realisation"),
              Redefining("Dependency", "Dependency"),
          },
      .tagged_value_types = kNoTaggedValueTypes,
      .toolbox = {{{"::actor", 0}, {"::usecase", 1}, {"::sysboundary", 2}, {"::association", 4},
                   {"::generalization", 5}, {"::include", 6}, {"::extend", 7}, {"::realisation", 8},
                   {"::dependency", 9}}},
  };
}

// A requirement kind derived from extendedRequirement; it adds no tags of its own.
Stereotype DerivedRequirement(std::string name, std::string metatype, std::string alias) {
  return {.name = std::move(name),
          .attributes = {.alias = std::move(alias), .metatype = std::move(metatype),
                         .generalizes = "extendedRequirement"}};
}

Stereotype RequirementDependency(std::string name, std::string metatype) {
  return {.name = std::move(name), .notes = kProfileNote, .base_types = {Applies("Dependency")},
          .attributes = {.metatype = std::move(metatype)}};
}

Profile Requirements() {
  return {
      .id = "41A17287-F",
      .name = "SysML Requirements",
      .notes = "SysML elements used for documenting system requirements.",
      .stereotypes =
          {
              {.name = "requirement", .notes = kProfileNote, .base_types = {Applies("Requirement")},
               .attributes = {.metatype = "Requirement"}, .tags = {{"Id", "String"}}},
              {.name = "extendedRequirement",
               .attributes = {.alias = "Extended Requirement", .metatype = "ExtendedRequirement",
                              .generalizes = "requirement"},
               .tags = {{"risk", "enumeration", "High,Medium,Low"},
                        StringTag("source"),
                        {"verifyMethod", "enumeration", "Analysis,Demonstration,Inspection,Test"}}},
              DerivedRequirement("functionalRequirement", "FunctionalRequirement", "Functional Requirement"),
              DerivedRequirement("interfaceRequirement", "InterfaceRequirement", "Interface Requirement"),
              DerivedRequirement("performanceRequirement", "PerformanceRequirement", "Performance Requirement"),
              DerivedRequirement("designRequirement", "DesignRequirement", "Design Requirement"),
              DerivedRequirement("physicalRequirement", "PhysicalRequirement", "Physical Requirement"),
              {.name = "testCase", .notes = kProfileNote, .base_types = {Applies("Activity")},
               .attributes = {.metatype = "TestCase"},
               .tags = {{"Verdict", "enumeration", "pass,fail,inconclusive,error"}}},
              RequirementDependency("copy", "Copy"),
              RequirementDependency("derive", "Derive"),
              RequirementDependency("verify", "Verify"),
              RequirementDependency("refine", "Refine"),
              RequirementDependency("trace", "Trace"),
              {.name = "satisfy", .notes = kProfileNote, .base_types = {Applies("Realisation")},
               .attributes = {.metatype = "Satisfy"}},
          },
      .tagged_value_types = kNoTaggedValueTypes,
      .toolbox = {{{"requirement::requirement", 0}, {"extendedRequirement::requirement", 1},
                   {"functionalRequirement::requirement", 2}, {"interfaceRequirement::requirement", 3},
                   {"performanceRequirement::requirement", 4}, {"designRequirement::requirement", 5},
                   {"physicalRequirement::requirement", 6}, {"testCase::activity", 7},
                   {"copy::dependency", 8}, {"derive::dependency", 9}, {"verify::dependency", 10},
                   {"refine::dependency", 11}, {"trace::dependency", 12}, {"satisfy::realisation", 13}}},
      .every_stereotype_has_all_containers = true,
  };
}

Profile Views() {
  const std::vector<Tag> view_tags = {StringTag("concerns"), StringTag("languages"), StringTag("methods"),
                                      StringTag("purpose"), StringTag("stakeholders")};
  return {
      .id = "9ABA421C-A",
      .name = "SysML Views",
      .notes = "SysML view elements, primarily those concerned with model views\n",
      .stereotypes =
          {
              {.name = "view", .notes = kProfileNote, .base_types = {Applies("Package")},
               .attributes = {.metatype = "View"}, .tags = view_tags},
              {.name = "viewpoint", .notes = kProfileNote, .base_types = {Applies("Class")},
               .attributes = {.metatype = "Viewpoint"}, .tags = view_tags},
              {.name = "conform", .notes = kProfileNote, .base_types = {Applies("Dependency")},
               .attributes = {.metatype = "Conform"}},
          },
      .tagged_value_types = kNoTaggedValueTypes,
      .toolbox = {{{"view::package", 0}, {"viewpoint::class", 1}, {"conform::dependency", 2}}},
  };
}

}  // namespace

std::vector<Profile> SysmlProfiles() {
  std::vector<Profile> profiles = {ModelElements(), BlockDefinition(), BlockInternal(), Flows(),
                                   Parametric(),    Allocations(),     State(),         Activity(),
                                   Interaction(),   UseCase(),         Requirements(),  Views()};
  for (Profile& profile : profiles) AddPropertySets(profile);
  return profiles;
}

// clang-format on

}  // namespace technology
