// The quick-link rules are kept as a grouped table (from kinds, relationships,
// directions, to kinds) and expanded here into one line per rule.
#include "quick_links.h"

#include <optional>
#include <string_view>

namespace technology {
namespace {

// A kind of element: base type and stereotype, and the caption of the new
// element in a rule that creates one.
struct Kind {
  std::string_view type;
  std::string_view stereotype;
  std::string_view caption;
};

struct Relationship {
  std::string_view type;
  std::string_view stereotype;
  std::string_view caption;
};

enum class Direction { kTo, kFrom, kUndirected };

// What the rules of a group link to: an element of a kind, or the group's
// source kind itself when `kind` is empty.
struct Target {
  enum class Rules {
    kExistingAndNew,     // an existing element of the kind, and a twin rule that creates one
    kExistingOnly,       // an existing element of the kind, no twin
    kNewPortOnExisting,  // a new port created on an existing element of the kind
  };
  Target(Kind target_kind) : kind(target_kind) {}  // implicit: a plain kind is the common target
  Target(std::nullopt_t) {}                        // the source's own kind
  Target(Kind target_kind, Rules target_rules, Kind new_port)
      : kind(target_kind), rules(target_rules), port(new_port) {}

  std::optional<Kind> kind;
  Rules rules = Rules::kExistingAndNew;
  Kind port;
};

struct RuleGroup {
  std::vector<Kind> sources;
  std::vector<Relationship> relationships;
  std::vector<Direction> directions;
  std::vector<Target> targets;
};

const Kind kView{"Package", "view", "View"};
const Kind kViewpoint{"Class", "viewpoint", "Viewpoint"};
const Kind kPackage{"Package", "", "Package"};
const Kind kBlock{"Class", "block", "Block"};
const Kind kClass{"Class", "", "Class"};
const Kind kPartProperty{"Part", "partProperty", "Part Property"};
const Kind kTestCase{"Activity", "testCase", "Test Case"};
const Kind kUseCase{"UseCase", "", "Use Case"};
const Kind kFlowPort{"Port", "flowPort", "FlowPort"};
const Kind kInternalProperty{"Port", "internalProperty", "InternalProperty"};
const Kind kConstraintBlock{"Class", "constraintBlock", "Constraint Block"};
const Kind kConstraintProperty{"Part", "constraintProperty", "Constraint Property"};
const Kind kActivity{"Activity", "", "Activity"};
const Kind kControlOperator{"Activity", "controlOperator", "Control Operator"};
const Kind kValue{"Class", "value", "Value"};
const Kind kAction{"Action", "", "Action"};
const Kind kObject{"Object", "", "Object"};
const Kind kBlockInstance{"Object", "", "Block Instance"};  // an Object as created from a flow port

const Kind kRequirement{"Requirement", "requirement", "Requirement"};
const std::vector<Kind> kRequirementKinds = {
    kRequirement,
    {"Requirement", "extendedRequirement", "Extended Requirement"},
    {"Requirement", "functionalRequirement", "Functional Requirement"},
    {"Requirement", "interfaceRequirement", "Interface Requirement"},
    {"Requirement", "performanceRequirement", "Performance Requirement"},
    {"Requirement", "designRequirement", "Design Requirement"},
    {"Requirement", "physicalRequirement", "Physical Requirement"},
};
const std::vector<Kind> kOtherRequirementKinds(kRequirementKinds.begin() + 1,
                                               kRequirementKinds.end());

const Relationship kConform{"Dependency", "conform", "Conform"};
const Relationship kDependency{"Dependency", "", "Dependency"};
const Relationship kPackageImport{"Dependency", "PackageImport", "Package Import"};
const Relationship kAllocate{"Dependency", "allocate", "Allocate"};
const Relationship kCopy{"Dependency", "copy", "Copy"};
const Relationship kDerive{"Dependency", "derive", "Derive"};
const Relationship kTrace{"Dependency", "trace", "Trace"};
const Relationship kRefine{"Dependency", "refine", "Refine"};
const Relationship kVerify{"Dependency", "verify", "Verify"};
const Relationship kSatisfy{"Realization", "satisfy", "Satisfy"};
const Relationship kNesting{"Nesting", "", "Nesting"};
const Relationship kAssociation{"Association", "", "Association"};
const Relationship kItemFlowAssociation{"Association", "itemFlow", "ItemFlow"};
const Relationship kItemFlowConnector{"ConnectorLink", "itemFlow", "ItemFlow"};
const Relationship kConnector{"ConnectorLink", "", "Connector"};
const Relationship kContinuousControlFlow{"ControlFlow", "continuous", "Continuous"};
const Relationship kDiscreteControlFlow{"ControlFlow", "discrete", "Discrete"};
const Relationship kContinuousObjectFlow{"ObjectFlow", "continuous", "Continuous"};
const Relationship kDiscreteObjectFlow{"ObjectFlow", "discrete", "Discrete"};

constexpr Direction kTo = Direction::kTo;
constexpr Direction kFrom = Direction::kFrom;
constexpr Direction kUndirected = Direction::kUndirected;

const Target kSameKind{std::nullopt};

Target ExistingOnly(Target target) {
  target.rules = Target::Rules::kExistingOnly;
  return target;
}

Target NewPortOn(Kind port, Kind owner) { return {owner, Target::Rules::kNewPortOnExisting, port}; }

std::vector<Target> Targets(std::vector<Target> first, const std::vector<Kind>& more) {
  first.insert(first.end(), more.begin(), more.end());
  return first;
}

std::vector<Target> Targets(const std::vector<Kind>& kinds) { return {kinds.begin(), kinds.end()}; }

// The comment line of the table. It ends with the rule that creates a new
// viewpoint conforming to a view: that rule has no line of its own.
// The comment line and the rule table are kept as written, a group to a row.
// clang-format off
const char kCommentLine[] =
    "//Source Element Type,Source ST filter,Target Element Type,Target ST Filter,Diagram Filter,"
    "New Element Type,New Element ST,New Link Type,New Link ST,New Link Direction,New Link Caption,"
    "New Package,view,,,,Class,viewpoint,Dependency,conform,to,,Conform,TRUE,TRUE,TRUE,TRUE,Viewpoint,0,,,,,";

const std::vector<RuleGroup>& RuleGroups() {
  static const std::vector<RuleGroup> groups = {
      {{kView}, {kConform}, {kTo}, {ExistingOnly(kViewpoint)}},
      {{kView}, {kPackageImport}, {kTo}, Targets({kPackage, kBlock}, kRequirementKinds)},
      {{kViewpoint}, {kConform}, {kFrom}, {kView}},
      {{kViewpoint}, {kDependency}, {kTo, kFrom}, {kViewpoint}},
      {{kPackage}, {kPackageImport}, {kFrom}, {kView}},
      {{kBlock}, {kPackageImport}, {kFrom}, {kView}},
      {kRequirementKinds, {kPackageImport}, {kFrom}, {kView}},
      {{kBlock}, {kNesting}, {kTo}, {kPackage}},
      {{kPackage}, {kNesting}, {kFrom}, {kBlock, kRequirement}},
      {{kPackage}, {kNesting}, {kTo}, Targets(kOtherRequirementKinds)},
      {{kRequirement}, {kNesting}, {kTo}, {kPackage}},
      {kOtherRequirementKinds, {kNesting}, {kFrom}, {kPackage}},
      {kRequirementKinds, {kNesting}, {kTo, kFrom}, {kSameKind}},
      {{kBlock}, {kAssociation}, {kUndirected}, {kBlock, kActivity}},
      {{kBlock}, {kItemFlowAssociation}, {kUndirected}, {kBlock}},
      {{kPartProperty}, {kAssociation}, {kUndirected}, {kPartProperty}},
      {{kPartProperty}, {kAllocate}, {kTo, kFrom}, {kPartProperty}},
      {{kPartProperty}, {kSatisfy}, {kTo}, Targets(kRequirementKinds)},
      {{kBlock}, {kSatisfy}, {kTo}, Targets(kRequirementKinds)},
      {kRequirementKinds, {kSatisfy}, {kFrom}, {kPartProperty, kBlock}},
      {{kTestCase}, {kVerify}, {kTo}, Targets(kRequirementKinds)},
      {kRequirementKinds, {kVerify}, {kFrom}, {kTestCase}},
      {{kBlock}, {kRefine}, {kTo}, Targets(kRequirementKinds)},
      {{kUseCase}, {kRefine}, {kTo}, Targets(kRequirementKinds)},
      {kRequirementKinds, {kRefine}, {kFrom}, {kBlock, kUseCase}},
      {kRequirementKinds, {kCopy, kDerive, kTrace}, {kTo, kFrom}, {kSameKind}},
      // The table is 421 rules long and holds a few rules twice, while the
      // groups above give 400 distinct rules. Which rules repeat is not recorded,
      // so the existing-target "to" rules of the group just above stand twice:
      // 7 requirement kinds x copy, derive, trace = 21 rules.
      {kRequirementKinds, {kCopy, kDerive, kTrace}, {kTo}, {ExistingOnly(kSameKind)}},
      {{kFlowPort}, {kItemFlowConnector}, {kUndirected},
       {kFlowPort, NewPortOn(kFlowPort, kClass), NewPortOn(kFlowPort, kBlock)}},
      {{kFlowPort}, {kAssociation}, {kUndirected},
       {kFlowPort, kBlockInstance, kClass, NewPortOn(kFlowPort, kClass), NewPortOn(kFlowPort, kBlock)}},
      {{kFlowPort}, {kConnector}, {kUndirected}, {kClass}},
      {{kObject}, {kAssociation}, {kUndirected}, {kFlowPort, NewPortOn(kFlowPort, kClass)}},
      {{kClass}, {kAssociation}, {kUndirected}, {kFlowPort, NewPortOn(kFlowPort, kBlock)}},
      {{kClass}, {kConnector}, {kUndirected}, {kFlowPort, NewPortOn(kFlowPort, kBlock)}},
      {{kInternalProperty}, {kConnector}, {kUndirected},
       {kInternalProperty, kConstraintProperty, NewPortOn(kInternalProperty, kConstraintBlock)}},
      {{kConstraintProperty}, {kConnector}, {kUndirected},
       {kInternalProperty, NewPortOn(kInternalProperty, kConstraintBlock)}},
      {{kConstraintBlock}, {kAssociation}, {kUndirected}, {kConstraintBlock}},
      {{kActivity}, {kAssociation}, {kUndirected}, {kActivity, kBlock, kControlOperator, kValue}},
      {{kControlOperator}, {kAssociation}, {kUndirected}, {kActivity}},
      {{kValue}, {kAssociation}, {kUndirected}, {kActivity}},
      {{kAction}, {kContinuousControlFlow, kDiscreteControlFlow}, {kTo, kFrom}, {kAction}},
      {{kAction}, {kContinuousObjectFlow, kDiscreteObjectFlow}, {kTo}, {kObject}},
      {{kObject}, {kContinuousObjectFlow, kDiscreteObjectFlow}, {kFrom}, {kAction}},
  };
  // clang-format on
  return groups;
}

// One rule: from `source`, a link to an existing `target`, to a `created`
// element, or to a `created` port on an existing `target`.
struct Rule {
  Kind source;
  Relationship link;
  Direction direction;
  std::optional<Kind> target;
  std::optional<Kind> created;
};

std::string_view DirectionName(Direction direction) {
  switch (direction) {
    case Direction::kTo: return "to";
    case Direction::kFrom: return "from";
    case Direction::kUndirected: return "undirected";
  }
  return "";
}

std::string RuleLine(const Rule& rule) {
  const Kind target = rule.target.value_or(Kind{});
  const Kind created = rule.created.value_or(Kind{});
  const bool creates = rule.created.has_value();
  const std::string_view fields[] = {
      rule.source.type,
      rule.source.stereotype,
      target.type,
      target.stereotype,
      "",  // diagram filter
      created.type,
      created.stereotype,
      rule.link.type,
      rule.link.stereotype,
      DirectionName(rule.direction),
      creates ? ""
              : rule.link.caption,  // 11: the link's caption when linking to an existing element
      creates ? rule.link.caption : "",  // 12: the link's caption when creating an element
      "TRUE",
      creates ? "TRUE" : "",
      "TRUE",
      rule.source.stereotype.empty() ? "" : "TRUE",  // 16: the source must carry its stereotype
      created.caption,
      "0",
      "",
      creates && rule.target ? "TRUE" : "",  // 20: a port created on an existing element
      "",
      "",
      "",
  };
  std::string line(fields[0]);
  for (size_t i = 1; i < std::size(fields); ++i) {
    line += ',';
    line += fields[i];
  }
  return line;
}

void AddRules(const Rule& base, const Target& target, std::vector<Rule>& rules) {
  const Kind kind = target.kind.value_or(base.source);
  Rule rule = base;
  rule.target = kind;
  if (target.rules == Target::Rules::kNewPortOnExisting) rule.created = target.port;
  rules.push_back(rule);
  if (target.rules == Target::Rules::kExistingAndNew) {
    Rule twin = base;
    twin.created = kind;
    rules.push_back(twin);
  }
}

std::vector<Rule> ExpandGroups() {
  std::vector<Rule> rules;
  for (const RuleGroup& group : RuleGroups()) {
    for (const Kind& source : group.sources) {
      for (const Relationship& link : group.relationships) {
        for (Direction direction : group.directions) {
          for (const Target& target : group.targets) {
            AddRules({source, link, direction, std::nullopt, std::nullopt}, target, rules);
          }
        }
      }
    }
  }
  return rules;
}

}  // namespace

std::vector<std::string> QuickLinkRuleLines() {
  std::vector<std::string> lines;
  for (const Rule& rule : ExpandGroups()) lines.push_back(RuleLine(rule));
  return lines;
}

std::string QuickLinkData() {
  std::string data = std::string(kCommentLine) + "\n";
  for (const std::string& line : QuickLinkRuleLines()) data += line + "\n";
  return data + "\n";
}

}  // namespace technology
