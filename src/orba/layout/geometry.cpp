#include "orba/layout/geometry.h"

#include <cstdint>
#include <cstring>

namespace orba::layout {
namespace {

class Writer {
 public:
  void Count(uint64_t count) { Raw(&count, sizeof count); }
  void Number(double number) { Raw(&number, sizeof number); }
  void Text(const std::string& text) {
    Count(text.size());
    bytes_ += text;
  }
  void Box(const canvas::Box& box) {
    for (const double number : {box.x, box.y, box.width, box.height}) Number(number);
  }
  std::string Bytes() && { return std::move(bytes_); }

 private:
  void Raw(const void* data, size_t size) { bytes_.append(static_cast<const char*>(data), size); }
  std::string bytes_;
};

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Count() { return Raw<uint64_t>(); }
  double Number() { return Raw<double>(); }
  std::string Text() {
    const uint64_t size = Count();
    Need(size);
    std::string text(bytes_.substr(0, size));
    bytes_.remove_prefix(size);
    return text;
  }
  canvas::Box Box() {
    canvas::Box box;
    box.x = Number();
    box.y = Number();
    box.width = Number();
    box.height = Number();
    return box;
  }
  bool AtEnd() const { return bytes_.empty(); }

 private:
  template <class T>
  T Raw() {
    Need(sizeof(T));
    T value;
    std::memcpy(&value, bytes_.data(), sizeof(T));
    bytes_.remove_prefix(sizeof(T));
    return value;
  }
  void Need(uint64_t size) const {
    if (size > bytes_.size()) throw std::runtime_error("the layout process's answer is cut short");
  }
  std::string_view bytes_;
};

void WriteBoxes(Writer& writer, const std::map<std::string, canvas::Box>& boxes) {
  writer.Count(boxes.size());
  for (const auto& [id, box] : boxes) {
    writer.Text(id);
    writer.Box(box);
  }
}

std::map<std::string, canvas::Box> ReadBoxes(Reader& reader) {
  std::map<std::string, canvas::Box> boxes;
  for (uint64_t count = reader.Count(); count > 0; --count) {
    std::string id = reader.Text();
    boxes[std::move(id)] = reader.Box();
  }
  return boxes;
}

}  // namespace

std::string EncodeGeometry(const Geometry& geometry) {
  Writer writer;
  WriteBoxes(writer, geometry.nodes);
  WriteBoxes(writer, geometry.clusters);
  writer.Count(geometry.edges.size());
  for (const auto& [id, points] : geometry.edges) {
    writer.Text(id);
    writer.Count(points.size());
    for (const canvas::Point& point : points) {
      writer.Number(point.x);
      writer.Number(point.y);
    }
  }
  return std::move(writer).Bytes();
}

Geometry DecodeGeometry(std::string_view bytes) {
  Reader reader(bytes);
  Geometry geometry;
  geometry.nodes = ReadBoxes(reader);
  geometry.clusters = ReadBoxes(reader);
  for (uint64_t edges = reader.Count(); edges > 0; --edges) {
    Polyline& points = geometry.edges[reader.Text()];
    for (uint64_t count = reader.Count(); count > 0; --count) {
      const double x = reader.Number();
      points.push_back({x, reader.Number()});
    }
  }
  if (!reader.AtEnd()) {
    throw std::runtime_error("the layout process's answer has bytes after its end");
  }
  return geometry;
}

}  // namespace orba::layout
