#include "orba/report/html.h"

#include <cctype>
#include <cstdint>

namespace orba::report {
namespace {

constexpr char kReplacementCharacter[] = "\xEF\xBF\xBD";

bool IsPlainGuid(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') return false;
  }
  return true;
}

}  // namespace

std::string Escape(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      case '\'': escaped += "&#39;"; break;
      default:
        const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        if (control && c != '\t' && c != '\n' && c != '\r') {
          escaped += kReplacementCharacter;
        } else {
          escaped += c;
        }
    }
  }
  return escaped;
}

std::string Link(const std::string& href, std::string_view text) {
  if (href.empty()) return Escape(text);
  return "<a href=\"" + Escape(href) + "\">" + Escape(text) + "</a>";
}

std::string PageText(const PageFrame& frame, const std::string& body) {
  const std::string& root = frame.root;
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n<title>" +
         Escape(frame.title) + " \xE2\x80\x94 " + Escape(frame.model_name) +
         "</title>\n<link rel=\"stylesheet\" href=\"" + root +
         "assets/site.css\"/>\n</head>\n<body data-root=\"" + root + "\">\n<header>\n<nav>" +
         Link(root + "index.html", "Model") + " " + Link(root + "validation.html", "Validation") +
         " " + Link(root + "traceability.html", "Traceability") + " " +
         Link(root + "allocations.html", "Allocations") +
         "</nav>\n<div class=\"search\"><input id=\"search\" type=\"search\" "
         "placeholder=\"Find an element\" aria-label=\"Find an element\" autocomplete=\"off\"/>"
         "<ul id=\"search-results\"></ul></div>\n</header>\n<main>\n<h1>" +
         Escape(frame.title) + "</h1>\n" + body + "</main>\n<script src=\"" + root +
         "search-index.js\"></script>\n<script src=\"" + root +
         "assets/site.js\"></script>\n</body>\n</html>\n";
}

std::string SortableTable(const std::string& id, const std::string& head, const std::string& rows) {
  return "<p><input class=\"table-filter\" data-table=\"" + id +
         "\" type=\"search\" placeholder=\"Filter rows\" aria-label=\"Filter rows\"/></p>\n"
         "<table class=\"sortable\" id=\"" +
         id + "\">\n<thead>" + head + "</thead>\n<tbody>\n" + rows + "</tbody>\n</table>\n";
}

std::string HeadingRow(std::initializer_list<std::string_view> names) {
  std::string row = "<tr>";
  for (const std::string_view name : names) row += "<th>" + Escape(name) + "</th>";
  return row + "</tr>";
}

std::string ElementPagePath(const std::string& guid, int32_t element_id) {
  std::string_view name = guid;
  if (name.size() >= 2 && name.front() == '{' && name.back() == '}')
    name = name.substr(1, name.size() - 2);
  const std::string file =
      IsPlainGuid(name) ? std::string(name) : "element-" + std::to_string(element_id);
  return std::string(kElementsFolder) + "/" + file + ".html";
}

std::string DiagramPagePath(size_t number) {
  return std::string(kDiagramsFolder) + "/" + std::to_string(number) + ".html";
}

}  // namespace orba::report
