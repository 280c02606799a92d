#include "orba/diagrams/scripted_shapes.h"

#include "orba/shape_script/interpreter.h"
#include "orba/shape_script/parser.h"
#include "orba/shape_script/technology_scripts.h"

namespace orba::diagrams {
namespace {

std::string ValueIn(const std::map<std::string, std::string>& values, const std::string& name) {
  auto found = values.find(name);
  return found == values.end() ? "" : found->second;
}

// What a script asks of the item it draws; the host's own port shape is
// a plain white square.
class ItemContext : public shape_script::Context {
 public:
  ItemContext(const std::map<std::string, std::string>& tags,
              std::map<std::string, std::string> properties, const canvas::TextMeasure& measure)
      : tags_(tags), properties_(std::move(properties)), measure_(measure) {}

  std::string Tag(const std::string& name) const override { return ValueIn(tags_, name); }
  std::string Property(const std::string& name) const override {
    return ValueIn(properties_, name);
  }
  void DrawNativeShape(const canvas::Box& box, canvas::DisplayList& list) const override {
    list.commands.push_back(canvas::Rectangle{box, 0, canvas::Pen{}, canvas::kWhite});
  }
  const canvas::TextMeasure& Measure() const override { return measure_; }
  shape_script::Style DefaultStyle() const override {
    shape_script::Style style;
    style.fill = canvas::kWhite;
    return style;
  }

 private:
  const std::map<std::string, std::string>& tags_;
  std::map<std::string, std::string> properties_;
  const canvas::TextMeasure& measure_;
};

std::optional<std::string> LabelIn(const shape_script::Outcome& outcome, const char* label) {
  auto found = outcome.labels.find(label);
  if (found == outcome.labels.end()) return std::nullopt;
  return found->second;
}

}  // namespace

std::map<std::string, std::string> ScriptsOfTechnologies(const std::vector<std::string>& documents,
                                                         std::ostream& diagnostics) {
  std::map<std::string, std::string> scripts;
  for (const std::string& document : documents) {
    try {
      scripts.merge(shape_script::ShapeScriptsOf(document));
    } catch (const shape_script::ShapeScriptError& error) {
      diagnostics << "orba: " << error.what() << "; the technology's shapes are drawn plain\n";
    }
  }
  return scripts;
}

TechnologyShapeScripts::TechnologyShapeScripts(const std::map<std::string, std::string>& scripts,
                                               const canvas::TextMeasure& measure,
                                               std::ostream& diagnostics)
    : measure_(measure), diagnostics_(diagnostics) {
  for (const auto& [stereotype, text] : scripts) {
    try {
      scripts_.try_emplace(stereotype, shape_script::ParseScript(stereotype, text));
    } catch (const shape_script::ShapeScriptError& error) {
      diagnostics_ << "orba: " << error.what() << "; drawn with the plain shape\n";
    }
  }
}

const shape_script::Script* TechnologyShapeScripts::ScriptOf(const std::string& stereotype) const {
  auto found = scripts_.find(stereotype);
  return found == scripts_.end() ? nullptr : &found->second;
}

std::optional<ObjectLook> TechnologyShapeScripts::DrawObject(const SceneObject& object,
                                                             std::optional<Edge> edge,
                                                             canvas::DisplayList& list) {
  const shape_script::Script* script = ScriptOf(object.stereotype);
  if (!script) return std::nullopt;
  const ItemContext context(object.tags,
                            {{"name", object.name},
                             {"type", object.type_name},
                             {"stereotype", object.stereotype},
                             {"parentedge", edge ? EdgeName(*edge) : ""}},
                            measure_);
  try {
    const shape_script::AnchorInsets insets =
        shape_script::DrawElement(*script, object.box, context, list).anchor_insets;
    return ObjectLook{insets.top, insets.left, insets.right, insets.bottom};
  } catch (const shape_script::ShapeScriptError& error) {
    diagnostics_ << "orba: " << error.what() << "; " << object.name
                 << " drawn with the plain shape\n";
    return std::nullopt;
  }
}

std::optional<LinkLook> TechnologyShapeScripts::DrawLink(const SceneLink& link, canvas::Point from,
                                                         canvas::Point to,
                                                         canvas::DisplayList& list) {
  const shape_script::Script* script = ScriptOf(link.stereotype);
  if (!script) return std::nullopt;
  const ItemContext context(link.tags,
                            {{"name", link.name},
                             {"type", link.type},
                             {"stereotype", link.stereotype},
                             {"direction", link.direction}},
                            measure_);
  try {
    const shape_script::Outcome outcome =
        shape_script::DrawConnector(*script, from, to, context, list);
    return LinkLook{outcome.host_source_end, outcome.host_target_end,
                    LabelIn(outcome, "middletoplabel"), LabelIn(outcome, "middlebottomlabel")};
  } catch (const shape_script::ShapeScriptError& error) {
    diagnostics_ << "orba: " << error.what() << "; a " << link.type << " drawn plain\n";
    return std::nullopt;
  }
}

}  // namespace orba::diagrams
