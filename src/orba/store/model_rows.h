// The stored records of a model, as the store reads and writes them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orba::store {

struct ElementRow {
  int32_t id = 0;
  std::string type;
  std::string name;
  std::optional<std::string> stereotype;  // nullopt: none
  std::optional<std::string> metatype;    // nullopt: derived from the stereotype
  std::string notes;
  std::string abstract = "0";
  std::string multiplicity;
  int32_t package_id = 0;
  int32_t parent_id = 0;
  int32_t classifier_id = 0;
  int32_t property_type_id = 0;
  std::string guid;
  std::optional<std::string> key;  // the key it had in an imported JSON document
};

struct PackageRow {
  int32_t id = 0;
  std::string name;
  int32_t parent_id = 0;
  int32_t element_id = 0;
  std::optional<std::string> key;
};

struct ConnectorRow {
  int32_t id = 0;
  std::string type;
  std::optional<std::string> stereotype;
  int32_t client_id = 0;
  int32_t supplier_id = 0;
  int32_t client_aggregation = 0;
  int32_t supplier_aggregation = 0;
  std::string guid;
  std::optional<std::string> key;
};

struct OperationRow {
  int32_t id = 0;
  int32_t element_id = 0;
  std::string name;
  std::optional<std::string> stereotype;
  std::string guid;
};

struct DiagramRow {
  int32_t id = 0;
  int32_t package_id = 0;
  std::string name;
  std::string type;
  int32_t display_flags = 0;
};

// Where an object sits on its diagram: its top-left corner and size (y down).
struct DiagramRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  friend bool operator==(const DiagramRect&, const DiagramRect&) = default;
};

// An element (or a package's element) shown on a diagram; without a
// rectangle it waits to be laid out.
struct DiagramObjectRow {
  int32_t id = 0;
  int32_t diagram_id = 0;
  int32_t element_id = 0;
  std::optional<DiagramRect> rect;
};

// A connector shown on a diagram, or kept there hidden.
struct DiagramLinkRow {
  int32_t id = 0;
  int32_t diagram_id = 0;
  int32_t connector_id = 0;
  bool hidden = false;
};

// A tagged value, an attribute (name, type) or a parameter (name, type).
struct NamedText {
  std::string name;
  std::string text;
};

// The kinds of item that carry item fields (orba_item_field), as stored.
inline constexpr char kPackageItem[] = "package";
inline constexpr char kElementItem[] = "element";
inline constexpr char kConnectorItem[] = "connector";
inline constexpr char kOperationItem[] = "operation";
inline constexpr char kDiagramItem[] = "diagram";

// "" reads as no stereotype: the store keeps NULL for none.
inline std::optional<std::string> StereotypeOrNone(const std::string& stereotype) {
  if (stereotype.empty()) return std::nullopt;
  return stereotype;
}

}  // namespace orba::store
