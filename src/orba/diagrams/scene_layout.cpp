#include "orba/diagrams/scene_layout.h"

#include <algorithm>
#include <map>
#include <set>

#include "orba/diagrams/notation.h"
#include "orba/layout/layout.h"

namespace orba::diagrams {
namespace {

std::string IdOf(int32_t element_id) { return std::to_string(element_id); }

std::optional<canvas::Point> FixedCorner(const SceneObject& object) {
  if (!object.placed) return std::nullopt;
  return canvas::Point{object.box.x, object.box.y};
}

class RequestBuilder {
 public:
  RequestBuilder(const Scene& scene, const canvas::TextMeasure& measure)
      : scene_(scene), measure_(measure) {
    for (const SceneObject& object : scene.objects) shown_[object.element_id] = &object;
    for (const SceneObject& object : scene.objects) {
      if (!IsPortOnOwner(object) && !object.placed && Shown(object.owner_id) &&
          !shown_.at(object.owner_id)->placed) {
        holders_.insert(object.owner_id);
      }
    }
  }

  layout::LayoutRequest Build() {
    layout::LayoutRequest request;
    request.direction = scene_.type.diagram_id == "ibd" ? layout::Direction::kLeftToRight
                                                        : layout::Direction::kTopToBottom;
    for (const SceneObject& object : scene_.objects) Add(object, request);
    for (const SceneLink& link : scene_.links) {
      if (!holders_.contains(link.source_id) && !holders_.contains(link.target_id))
        request.edges.push_back(
            {IdOf(link.connector_id), IdOf(link.source_id), IdOf(link.target_id)});
    }
    return request;
  }

 private:
  bool Shown(int32_t element_id) const { return shown_.contains(element_id); }

  bool IsPortOnOwner(const SceneObject& object) const {
    return object.type == "Port" && Shown(object.owner_id) && !holders_.contains(object.owner_id);
  }

  // An owner of unplaced parts becomes a cluster around them; the rest are
  // nodes, or ports on their owner's border.
  void Add(const SceneObject& object, layout::LayoutRequest& request) const {
    const ShapeSize size = object.placed ? ShapeSize{object.box.width, object.box.height}
                                         : NaturalSizeOf(object, measure_);
    const std::string id = IdOf(object.element_id);
    if (holders_.contains(object.element_id)) {
      const canvas::TextExtent label = measure_.Measure(object.name, canvas::Font{.bold = true});
      request.clusters.push_back({id, Holder(object), label.width, 2 * label.Height()});
    } else if (IsPortOnOwner(object)) {
      request.ports.push_back(
          {id, IdOf(object.owner_id), size.width, size.height, FixedCorner(object)});
    } else {
      request.nodes.push_back({id, size.width, size.height, FixedCorner(object), Holder(object)});
    }
  }

  std::string Holder(const SceneObject& object) const {
    return holders_.contains(object.owner_id) ? IdOf(object.owner_id) : "";
  }

  const Scene& scene_;
  const canvas::TextMeasure& measure_;
  std::map<int32_t, const SceneObject*> shown_;
  std::set<int32_t> holders_;  // unplaced objects whose unplaced parts lie within them
};

}  // namespace

std::string LayOutScene(Scene& scene, const canvas::TextMeasure& measure,
                        std::chrono::milliseconds time_limit) {
  if (std::all_of(scene.objects.begin(), scene.objects.end(),
                  [](const SceneObject& object) { return object.placed; })) {
    return "";
  }
  layout::LayoutRequest request = RequestBuilder(scene, measure).Build();
  request.time_limit = time_limit;
  const layout::LayoutResult result = layout::Layout(request);
  for (SceneObject& object : scene.objects) {
    const std::string id = IdOf(object.element_id);
    for (const auto* boxes : {&result.nodes, &result.ports, &result.clusters}) {
      if (auto found = boxes->find(id); found != boxes->end()) object.box = found->second;
    }
  }
  for (SceneLink& link : scene.links) {
    if (auto found = result.edges.find(IdOf(link.connector_id)); found != result.edges.end())
      link.route = found->second;
  }
  return result.fell_back ? result.fallback_reason : "";
}

}  // namespace orba::diagrams
