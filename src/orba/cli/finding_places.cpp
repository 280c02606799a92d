#include "orba/cli/finding_places.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/utf8.h"
#include "orba/interchange/xmi_reader.h"
#include "orba/interchange/xml_nodes.h"
#include "orba/store/json_split.h"

namespace orba::cli {
namespace {

using store::ItemKind;
using validator::ItemPlace;

// Parents deeper than this are taken to be a cycle of a damaged model.
constexpr int kDeepestOwner = 1000;

// Lines and columns (from 1; columns in characters) of offsets in a text.
class LineTable {
 public:
  explicit LineTable(std::string_view text) : text_(text) {
    for (size_t at = 0; at < text.size(); ++at) {
      if (text[at] == '\n') starts_.push_back(at + 1);
    }
  }

  void Place(size_t offset, ItemPlace& place) const {
    const auto line = std::upper_bound(starts_.begin(), starts_.end(), offset) - 1;
    place.line = static_cast<int32_t>(line - starts_.begin() + 1);
    const std::string_view before = text_.substr(*line, offset - *line);
    place.column = 1 + static_cast<int32_t>(std::ranges::count_if(
                           before, [](char byte) { return !base::IsUtf8Continuation(byte); }));
  }

 private:
  std::string_view text_;
  std::vector<size_t> starts_ = {0};
};

// Where the items of a source document are defined: the offset of the
// "key" of each item of a JSON model document's lists, the line of the
// element of each xmi:id in XMI.
class SourceIndex {
 public:
  explicit SourceIndex(std::string_view text) : lines_(text) {
    if (text.empty()) return;
    if (interchange::LooksLikeXml(text)) {
      IndexXmi(text);
    } else {
      IndexJson(text);
    }
  }

  void PlaceKey(const std::optional<std::string>& key, ItemPlace& place) const {
    if (!key) return;
    if (const auto found = key_offsets_.find(*key); found != key_offsets_.end())
      lines_.Place(found->second, place);
  }

  void PlaceXmiId(const std::string& xmi_id, ItemPlace& place) const {
    if (const auto found = xmi_lines_.find(xmi_id); found != xmi_lines_.end())
      place.line = found->second;
  }

 private:
  // The document was imported, so it is well-formed JSON.
  void IndexJson(std::string_view text) {
    const std::string_view top = store::SkipJsonSpace(text);
    if (top.empty() || top.front() != '{') return;
    for (const store::JsonMemberText& list : store::JsonObjectMembers(top)) {
      if (list.value.front() != '[') continue;
      store::JsonArrayItems items(list.value);
      for (std::string_view item; items.Next(item);) {
        if (item.front() == '{') IndexJsonItem(text, item);
      }
    }
  }

  void IndexJsonItem(std::string_view text, std::string_view item) {
    for (const store::JsonMemberText& member : store::JsonObjectMembers(item)) {
      if (member.name != "\"key\"" || member.value.front() != '"') continue;
      const auto offset = static_cast<size_t>(member.name.data() - text.data());
      key_offsets_.emplace(nlohmann::json::parse(member.value).get<std::string>(), offset);
    }
  }

  void IndexXmi(std::string_view text) {
    const interchange::XmlDocument document = interchange::ParseXml(text, "");
    IndexXmiElement(xmlDocGetRootElement(document.get()));
  }

  void IndexXmiElement(const xmlNode* node) {
    if (!node) return;
    if (const std::string id = interchange::XmiId(node); !id.empty())
      xmi_lines_.emplace(id, static_cast<int32_t>(xmlGetLineNo(node)));
    for (const xmlNode* child : interchange::ChildElements(node)) IndexXmiElement(child);
  }

  LineTable lines_;
  std::unordered_map<std::string, size_t> key_offsets_;
  std::unordered_map<std::string, int32_t> xmi_lines_;
};

// Qualified names of items: their packages' names from the root, then their
// owners' names, joined with "::".
class QualifiedNames {
 public:
  explicit QualifiedNames(store::ModelSession& session) : session_(session) {}

  std::string OfPackage(int32_t id, int depth = 0) {
    const std::optional<store::PackageRow> package = session_.FindPackage(id);
    if (!package || depth > kDeepestOwner) return "";
    if (package->parent_id == 0) return package->name;
    return Joined(OfPackage(package->parent_id, depth + 1), package->name);
  }

  std::string OfElement(const store::ElementRow& element, int depth = 0) {
    if (depth > kDeepestOwner) return "";
    if (element.type == "Package") {
      if (const auto package = session_.FindPackageOfElement(element.id))
        return OfPackage(package->id);
    }
    if (element.parent_id != 0) {
      if (const auto owner = session_.FindElement(element.parent_id))
        return Joined(OfElement(*owner, depth + 1), element.name);
    }
    return Joined(element.package_id ? OfPackage(element.package_id) : "", element.name);
  }

  std::string OfElementId(int32_t id) {
    const std::optional<store::ElementRow> element = session_.FindElement(id);
    return element ? OfElement(*element) : "";
  }

 private:
  static std::string Joined(const std::string& owner, const std::string& name) {
    return owner.empty() ? name : owner + "::" + name;
  }

  store::ModelSession& session_;
};

class Placer {
 public:
  Placer(store::ModelSession& session, std::string_view source)
      : session_(session), names_(session), source_(source) {}

  ItemPlace Place(const store::ItemRef& item) {
    ItemPlace place;
    switch (item.kind) {
      case ItemKind::kElement:
      case ItemKind::kPackage:
        if (const auto element = session_.FindElementByGuid(item.guid)) {
          place.qualified_name = names_.OfElement(*element);
          source_.PlaceKey(KeyOf(*element), place);
        }
        break;
      case ItemKind::kConnector:
        if (const auto connector = session_.FindConnectorByGuid(item.guid)) {
          place.qualified_name = names_.OfElementId(connector->client_id) + " -> " +
                                 names_.OfElementId(connector->supplier_id);
          source_.PlaceKey(connector->key, place);
        }
        break;
      case ItemKind::kOperation:
        if (const auto operation = session_.FindOperationByGuid(item.guid)) {
          if (const auto element = session_.FindElement(operation->element_id)) {
            place.qualified_name = names_.OfElement(*element) + "::" + operation->name + "()";
            source_.PlaceKey(element->key, place);
          }
        }
        break;
    }
    if (!item.xmi_id.empty()) source_.PlaceXmiId(item.xmi_id, place);
    return place;
  }

 private:
  // A package's key is its package row's; an element's its own.
  std::optional<std::string> KeyOf(const store::ElementRow& element) {
    if (element.type != "Package") return element.key;
    const auto package = session_.FindPackageOfElement(element.id);
    return package ? package->key : std::nullopt;
  }

  store::ModelSession& session_;
  QualifiedNames names_;
  SourceIndex source_;
};

}  // namespace

void PlaceFindings(store::ModelSession& session, const std::string& source,
                   validator::ValidationResult& result) {
  Placer placer(session, source);
  std::unordered_map<std::string, ItemPlace> placed;  // items repeat: each is placed once
  const auto place_of = [&](const store::ItemRef& item) {
    const std::string id = std::string(store::ItemKindName(item.kind)) + " " + item.guid;
    auto known = placed.find(id);
    if (known == placed.end()) known = placed.emplace(id, placer.Place(item)).first;
    return known->second;
  };
  for (validator::Violation& violation : result.violations)
    violation.place = place_of(violation.item);
  for (validator::Failure& failure : result.failures) {
    if (failure.item) failure.place = place_of(*failure.item);
  }
}

}  // namespace orba::cli
