#include "orba/interchange/sysml_stereotypes.h"

#include <array>
#include <regex>

#include "base/text.h"

namespace orba::interchange {
namespace {

struct StereotypeRow {
  std::string_view sysml_name;  // lower case
  HostStereotype host;
};

// One row per SysML stereotype that has a home in the technology. QuantityKind
// (QUDV, SysML 1.4+) takes the place of SysML 1.1's Dimension; InterfaceBlock
// is a kind of Block. FlowPort is the only SysML port that becomes a flow
// port: full and proxy ports (1.3+) have other semantics and stay plain ports.
// clang-format off
constexpr std::array kStereotypes = {
    StereotypeRow{"block",                   {"block", ""}},
    StereotypeRow{"interfaceblock",          {"block", ""}},
    StereotypeRow{"constraintblock",         {"constraintBlock", ""}},
    StereotypeRow{"constraintproperty",      {"constraintProperty", ""}},
    StereotypeRow{"valuetype",               {"valueType", ""}},
    StereotypeRow{"unit",                    {"unit", "Class"}},
    StereotypeRow{"dimension",               {"dimension", "Class"}},
    StereotypeRow{"quantitykind",            {"dimension", "Class"}},
    StereotypeRow{"flowport",                {"flowPort", ""}},
    StereotypeRow{"flowproperty",            {"flowProperty", ""}},
    StereotypeRow{"flowspecification",       {"flowSpecification", ""}},
    StereotypeRow{"itemflow",                {"itemFlow", ""}},
    StereotypeRow{"requirement",             {"requirement", "Requirement"}},
    StereotypeRow{"extendedrequirement",     {"extendedRequirement", "Requirement"}},
    StereotypeRow{"functionalrequirement",   {"functionalRequirement", "Requirement"}},
    StereotypeRow{"interfacerequirement",    {"interfaceRequirement", "Requirement"}},
    StereotypeRow{"performancerequirement",  {"performanceRequirement", "Requirement"}},
    StereotypeRow{"physicalrequirement",     {"physicalRequirement", "Requirement"}},
    StereotypeRow{"designrequirement",       {"designRequirement", "Requirement"}},
    StereotypeRow{"testcase",                {"testCase", ""}},
    StereotypeRow{"satisfy",                 {"satisfy", ""}},
    StereotypeRow{"verify",                  {"verify", ""}},
    StereotypeRow{"derivereqt",              {"derive", ""}},
    StereotypeRow{"copy",                    {"copy", ""}},
    StereotypeRow{"refine",                  {"refine", ""}},
    StereotypeRow{"trace",                   {"trace", ""}},
    StereotypeRow{"allocate",                {"allocate", ""}},
    StereotypeRow{"allocateactivitypartition", {"allocateActivityPartition", ""}},
    StereotypeRow{"view",                    {"view", ""}},
    StereotypeRow{"viewpoint",               {"viewpoint", ""}},
    StereotypeRow{"conform",                 {"conform", ""}},
    StereotypeRow{"problem",                 {"problem", "Note"}},
    StereotypeRow{"rationale",               {"rationale", "Note"}},
    StereotypeRow{"optional",                {"optional", ""}},
    StereotypeRow{"probability",             {"probability", ""}},
    StereotypeRow{"continuous",              {"continuous", ""}},
    StereotypeRow{"discrete",                {"discrete", ""}},
    StereotypeRow{"controloperator",         {"controlOperator", ""}},
    StereotypeRow{"nobuffer",                {"noBuffer", ""}},
    StereotypeRow{"overwrite",               {"overwrite", ""}},
};
// clang-format on

}  // namespace

bool IsSysmlNamespace(std::string_view uri) {
  // Papyrus 1.1 (papyrusuml.org/SysML/<Package>/1), Papyrus 0.7 to 1.6
  // (eclipse.org/papyrus/[sysml/]<version>/SysML[/<Package>]), the OMG's
  // canonical URIs (omg.org/spec/SysML/<date>/SysML) and MagicDraw's own.
  static const std::regex kFamilies(
      R"(http://www\.papyrusuml\.org/SysML(/.*)?)"
      R"(|http://www\.eclipse\.org/papyrus/(sysml/)?[0-9.]+/SysML(/.*)?)"
      R"(|http://www\.omg\.org/spec/SysML/[0-9]+/SysML(/.*)?)"
      R"(|http://www\.magicdraw\.com/schemas/SysML\.xmi)");
  return std::regex_match(uri.begin(), uri.end(), kFamilies);
}

std::optional<HostStereotype> HostStereotypeFor(std::string_view sysml_name) {
  const std::string lower = base::AsciiLowerCase(std::string(sysml_name));
  for (const StereotypeRow& row : kStereotypes) {
    if (row.sysml_name == lower) return row.host;
  }
  return std::nullopt;
}

bool IsRequirementStereotype(std::string_view stereotype) {
  return base::AsciiLowerCase(stereotype).ends_with("requirement");
}

}  // namespace orba::interchange
