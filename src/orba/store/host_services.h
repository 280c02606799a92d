// HostServices: what the model repository asks of the application around it
// (the reference host's session: its add-ins, searches and diagram windows).
// The repository calls these when an add-in asks the host to run a search,
// redraw or open diagrams, and after it has created or modified an item.
#pragma once

#include <cstdint>
#include <string>

namespace orba {

class HostServices {
 public:
  virtual ~HostServices() = default;
  virtual void RunSearch(const std::string& name, const std::string& term,
                         const std::string& options, const std::string& data) = 0;
  virtual void RedrawOpenDiagrams(bool full) = 0;
  virtual void OpenDiagram(int32_t diagram_id) = 0;
  // After an element was created through the object model (AddNew + Update).
  virtual void ElementCreated(int32_t element_id) = 0;
  // After an item was changed through the object model; object_type 4 = element.
  virtual void ItemModified(const std::string& guid, int32_t object_type) = 0;
};

}  // namespace orba
