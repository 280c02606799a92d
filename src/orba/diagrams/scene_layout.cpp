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
    for (const SceneObject& object : scene.objects) {
      if (IsPortOnOwner(object)) NoteRoomForPort(object);
    }
  }

  layout::LayoutRequest Build() const {
    layout::LayoutRequest request;
    const bool internal = scene_.type.diagram_id == "ibd";
    request.direction =
        internal ? layout::Direction::kLeftToRight : layout::Direction::kTopToBottom;
    if (internal)
      request.spacing = std::max(kInternalSpacing, 2 * widest_port_name_ + widest_port_ + 2 * kGap);
    for (const SceneObject& object : scene_.objects) {
      if (!IsHolderPort(object)) Add(object, request);
    }
    for (const SceneLink& link : scene_.links) {
      if (!IsHeld(link.source_id) && !IsHeld(link.target_id))
        request.edges.push_back(
            {IdOf(link.connector_id), IdOf(link.source_id), IdOf(link.target_id)});
    }
    return request;
  }

  // A port of an object that holds parts: Graphviz cannot put it on the
  // cluster's border, so it is placed there after the layout.
  bool IsHolderPort(const SceneObject& object) const {
    return object.type == "Port" && holders_.contains(object.owner_id);
  }

 private:
  // Between the nodes of an internal block diagram: two ports facing each
  // other across the gap (half of each in it) each have their name beside
  // them, in the gap.
  static constexpr double kInternalSpacing = 60;
  static constexpr double kGap = 12;  // between a port's name and the next port

  bool Shown(int32_t element_id) const { return shown_.contains(element_id); }

  // A holder, or a port on one: laid out by the cluster, not as a node.
  bool IsHeld(int32_t element_id) const {
    return holders_.contains(element_id) || IsHolderPort(*shown_.at(element_id));
  }

  bool IsPortOnOwner(const SceneObject& object) const {
    return object.type == "Port" && Shown(object.owner_id) && !holders_.contains(object.owner_id);
  }

  // An owner of unplaced parts becomes a cluster around them; the rest are
  // nodes, or ports on their owner's border.
  void Add(const SceneObject& object, layout::LayoutRequest& request) const {
    const ShapeSize size =
        object.placed ? ShapeSize{object.box.width, object.box.height} : WithRoomForPorts(object);
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

  // A port's height and its name's line above it, room its owner's border
  // needs: all of an owner's ports may face the same side.
  void NoteRoomForPort(const SceneObject& port) {
    const canvas::TextExtent name = measure_.Measure(port.name, canvas::Font{});
    const ShapeSize size = NaturalSizeOf(port, measure_);
    PortRoom& room = port_room_[port.owner_id];
    room.height += size.height + name.Height() + kGap;
    room.width = std::max(room.width, size.width);
    widest_port_name_ = std::max(widest_port_name_, name.width);
    widest_port_ = std::max(widest_port_, size.width);
  }

  // An owner of ports is tall enough for them along one side, and wide
  // enough that ports on both sides leave its name uncovered.
  ShapeSize WithRoomForPorts(const SceneObject& object) const {
    ShapeSize size = NaturalSizeOf(object, measure_);
    auto room = port_room_.find(object.element_id);
    if (room == port_room_.end()) return size;
    size.height = std::max(size.height, room->second.height + kGap);
    size.width += room->second.width;
    return size;
  }

  std::string Holder(const SceneObject& object) const {
    return holders_.contains(object.owner_id) ? IdOf(object.owner_id) : "";
  }

  const Scene& scene_;
  const canvas::TextMeasure& measure_;
  std::map<int32_t, const SceneObject*> shown_;
  std::set<int32_t> holders_;  // unplaced objects whose unplaced parts lie within them
  struct PortRoom {
    double height = 0;  // all the owner's ports with their names, one above the other
    double width = 0;   // the widest port: half of it inside the owner on each side
  };
  std::map<int32_t, PortRoom> port_room_;  // by owner
  double widest_port_name_ = 0;
  double widest_port_ = 0;
};

// Ports of holders, spread along the holder's left or right border: the
// side facing most of what they connect to. Their links are straight.
void PlaceHolderPorts(Scene& scene, const RequestBuilder& builder,
                      const canvas::TextMeasure& measure) {
  std::map<int32_t, const canvas::Box*> boxes;
  for (const SceneObject& object : scene.objects) boxes[object.element_id] = &object.box;
  std::map<std::pair<int32_t, bool>, std::vector<SceneObject*>> sides;  // (holder, right) -> ports
  for (SceneObject& port : scene.objects) {
    if (!builder.IsHolderPort(port)) continue;
    const canvas::Box& holder = *boxes.at(port.owner_id);
    double pull = 0;
    for (const SceneLink& link : scene.links) {
      const int32_t other = link.source_id == port.element_id   ? link.target_id
                            : link.target_id == port.element_id ? link.source_id
                                                                : 0;
      if (other != 0) pull += boxes.at(other)->x - (holder.x + holder.width / 2);
    }
    sides[{port.owner_id, pull > 0}].push_back(&port);
  }
  for (auto& [side, ports] : sides) {
    const canvas::Box& holder = *boxes.at(side.first);
    for (size_t index = 0; index < ports.size(); ++index) {
      canvas::Box& box = ports[index]->box;
      const ShapeSize size = NaturalSizeOf(*ports[index], measure);
      box.width = size.width, box.height = size.height;
      box.x = (side.second ? holder.x + holder.width : holder.x) - box.width / 2;
      box.y =
          holder.y + holder.height * double(index + 1) / double(ports.size() + 1) - box.height / 2;
    }
  }
}

}  // namespace

std::string LayOutScene(Scene& scene, const canvas::TextMeasure& measure,
                        std::chrono::milliseconds time_limit) {
  if (std::all_of(scene.objects.begin(), scene.objects.end(),
                  [](const SceneObject& object) { return object.placed; })) {
    return "";
  }
  const RequestBuilder builder(scene, measure);
  layout::LayoutRequest request = builder.Build();
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
  PlaceHolderPorts(scene, builder, measure);
  return result.fell_back ? result.fallback_reason : "";
}

layout::LayoutRequest LayoutRequestOf(const Scene& scene, const canvas::TextMeasure& measure) {
  return RequestBuilder(scene, measure).Build();
}

}  // namespace orba::diagrams
