#include "orba/diagrams/frame_text.h"

#include <sstream>
#include <utility>

namespace orba::diagrams {
namespace {

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

// Single spaces between the words, none at either end.
std::string CollapseSpaces(const std::string& text) {
  std::istringstream words(text);
  std::string word, collapsed;
  while (words >> word) collapsed += (collapsed.empty() ? "" : " ") + word;
  return collapsed;
}

}  // namespace

std::string FrameText(const std::string& frame_string, const std::string& replace_list,
                      const FrameFields& fields) {
  std::string text = frame_string;
  const std::pair<const char*, const std::string*> substitutions[] = {
      {"#DGMID#", &fields.diagram_id},
      {"#DGMALIAS#", &fields.alias},
      {"#DGMOWNERNAME#", &fields.owner_name},
      {"#DGMNAME#", &fields.diagram_name},
      {"#DGMSTEREO#", &fields.stereotype}};
  for (const auto& [field, value] : substitutions) ReplaceAll(text, field, *value);
  std::istringstream list(replace_list);
  for (std::string removed; std::getline(list, removed, ',');) ReplaceAll(text, removed, "");
  return CollapseSpaces(text);
}

}  // namespace orba::diagrams
