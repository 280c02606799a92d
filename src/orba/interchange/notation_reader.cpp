#include "orba/interchange/notation_reader.h"

#include <filesystem>
#include <set>

#include "orba/interchange/xml_nodes.h"

namespace orba::interchange {
namespace {

using nlohmann::json;

// Papyrus's diagram kinds, by a word of their id, as the diagram types of
// the SysML technology.
std::string DiagramType(const xmlNode* diagram) {
  static const std::pair<const char*, const char*> kKinds[] = {
      {"requirement", "SysML::Requirement"},
      {"blockdefinition", "SysML::BlockDefinition"},
      {"internalblock", "SysML::InternalBlock"},
      {"parametric", "SysML::Parametric"},
      {"activity", "SysML::Activity"},
      {"package", "SysML::Package"},
      {"sequence", "SysML::Sequence"},
      {"statemachine", "SysML::StateMachine"},
      {"usecase", "SysML::UseCase"}};
  for (const xmlNode* style : ChildElements(diagram)) {
    const std::string kind = PlainAttribute(style, "diagramKindId").value_or("");
    for (const auto& [word, type] : kKinds) {
      if (kind.find(word) != std::string::npos) return type;
    }
  }
  return PlainAttribute(diagram, "type").value_or("Logical");
}

// The fragment of the child element `name`'s href ("Model.uml#ID" -> "ID").
std::string HrefFragment(const xmlNode* node, const char* name) {
  for (const xmlNode* child : ChildElements(node)) {
    if (LocalName(child) != name) continue;
    const std::string href = PlainAttribute(child, "href").value_or("");
    const size_t hash = href.find('#');
    return hash == std::string::npos ? "" : href.substr(hash + 1);
  }
  return "";
}

struct Bounds {
  int x = 0, y = 0, width = 0, height = 0;
};

Bounds BoundsOf(const xmlNode* view) {
  Bounds bounds;
  for (const xmlNode* child : ChildElements(view)) {
    if (LocalName(child) != "layoutConstraint") continue;
    const auto number = [child](const char* name) {
      const std::optional<std::string> text = PlainAttribute(child, name);
      try {
        return text ? std::stoi(*text) : 0;
      } catch (const std::exception&) {
        return 0;
      }
    };
    bounds = {number("x"), number("y"), number("width"), number("height")};
  }
  return bounds;
}

class DiagramReader {
 public:
  explicit DiagramReader(const json& document) {
    for (const char* list : {"packages", "elements"}) {
      for (const json& item : document.value(list, json::array()))
        shapes_.insert(item.value("key", ""));
    }
    for (const json& item : document.value("connectors", json::array()))
      edges_.insert(item.value("key", ""));
    if (!document.value("packages", json::array()).empty())
      root_package_ = document["packages"][0]["key"];
  }

  json Read(const xmlNode* diagram) {
    json read = {{"name", PlainAttribute(diagram, "name").value_or("")},
                 {"type", DiagramType(diagram)}};
    std::string owner = HrefFragment(diagram, "element");
    read["package"] = shapes_.contains(owner) ? owner : root_package_;
    json objects = json::array(), links = json::array();
    AddShapes(diagram, 0, 0, objects);
    for (const xmlNode* edge : ChildElements(diagram)) {
      if (LocalName(edge) != "edges") continue;
      const std::string connector = HrefFragment(edge, "element");
      if (edges_.contains(connector)) links.push_back({{"connector", connector}});
    }
    if (!objects.empty()) read["objects"] = std::move(objects);
    if (!links.empty()) read["links"] = std::move(links);
    return read;
  }

  size_t LeftOut() const { return left_out_; }

 private:
  // Shapes nest (a port in its block, a part in a compartment): their
  // bounds are relative to the view holding them.
  void AddShapes(const xmlNode* view, int left, int top, json& objects) {
    for (const xmlNode* child : ChildElements(view)) {
      if (LocalName(child) != "children") continue;
      const Bounds bounds = BoundsOf(child);
      const std::string element = HrefFragment(child, "element");
      if (shapes_.contains(element)) {
        objects.push_back({{"element", element},
                           {"x", left + bounds.x},
                           {"y", top + bounds.y},
                           {"w", bounds.width > 0 ? bounds.width : kDefaultWidth},
                           {"h", bounds.height > 0 ? bounds.height : kDefaultHeight}});
      } else if (!element.empty()) {
        ++left_out_;
      }
      AddShapes(child, left + bounds.x, top + bounds.y, objects);
    }
  }

  // The size of a shape drawn at the size its contents ask for.
  static constexpr int kDefaultWidth = 120;
  static constexpr int kDefaultHeight = 80;

  std::set<std::string> shapes_;
  std::set<std::string> edges_;
  std::string root_package_;
  size_t left_out_ = 0;
};

}  // namespace

void AddNotationDiagrams(std::string_view notation, const std::string& path, json& document,
                         ImportReport& report) {
  const XmlDocument xml = ParseXml(notation, path);
  const xmlNode* root = xmlDocGetRootElement(xml.get());
  std::vector<const xmlNode*> diagrams;
  if (root && LocalName(root) == "Diagram") diagrams.push_back(root);
  if (root && LocalName(root) != "Diagram") {
    for (const xmlNode* child : ChildElements(root)) {
      if (LocalName(child) == "Diagram") diagrams.push_back(child);
    }
  }
  DiagramReader reader(document);
  for (const xmlNode* diagram : diagrams) document["diagrams"].push_back(reader.Read(diagram));
  if (reader.LeftOut() != 0) {
    report.warnings.push_back(path + ": " + std::to_string(reader.LeftOut()) +
                              " shapes show items the import left out; the diagrams lack them");
  }
}

std::string NotationFileOf(const std::string& model_path) {
  return std::filesystem::path(model_path).replace_extension(".notation").string();
}

}  // namespace orba::interchange
