// The technology document as data: the header, the profiles with their
// stereotypes, tagged-value types and toolbox order, and the diagram profile.
// The profile tables fill it in; the document writer lays it out as XML.
// Members default to empty, so that a table row names only what it sets.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace technology {

struct Property {
  std::string name{};
  std::string value{};
};

// What a stereotype stands on: an Apply of a host base type, an Apply of
// another stereotype, or a Redefine of a host base type.
struct BaseType {
  enum class Kind { kApply, kApplyStereotype, kRedefine };
  Kind kind;
  std::string type{};  // the host base type, or the stereotype extended
  std::vector<Property> properties{};
};

// The optional Stereotype attributes, in the order the document writes them.
// An empty value is not written.
struct StereotypeAttributes {
  std::string alias{};
  std::string metatype{};
  std::string is_abstract{};
  std::string generalizes{};
  std::string strictness{};
  std::string instance_mode{};
  std::string instance_type{};
  std::string instance_owner{};
};

// A tagged value of a stereotype. A tag typed by one of the profile's
// tagged-value types is written with its name alone.
struct Tag {
  std::string name{};
  std::string type{};
  std::string values{};  // the choices of an enumeration, comma-separated
  std::string default_value{};
  bool typed_by_tagged_value_type = false;
};

struct TaggedValueType {
  std::string property{};
  std::string notes{};
};

struct Stereotype {
  std::string name{};
  std::string notes{};
  std::vector<BaseType> base_types{};
  StereotypeAttributes attributes{};
  std::vector<Tag> tags{};
  std::string shape_script{};     // the script that draws it; empty: the host's own drawing
  bool empty_applies_to = false;  // an empty AppliesTo stands before its Redefinitions
};

struct OrderItem {
  std::string node{};
  int order;
};

struct Profile {
  std::string id{};
  std::string name{};
  std::string notes{};
  std::vector<Stereotype> stereotypes{};
  std::optional<std::vector<TaggedValueType>> tagged_value_types{};
  std::optional<std::string> quick_links{};  // the QuickLink table, in the first profile only
  std::optional<std::vector<OrderItem>> toolbox{};  // the Order items
  bool every_stereotype_has_all_containers =
      false;  // AppliesTo, Redefinitions, TaggedValues, Constraints
};

struct Technology {
  std::string id{};
  std::string name{};
  std::string version{};
  std::string notes{};
  std::string perspective{};
  std::vector<Profile> profiles{};
  Profile diagram_profile{};
};

}  // namespace technology
