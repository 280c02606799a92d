// Writing the pages of the report site: model text escaped wherever it
// goes, the frame every page shares (search box, navigation, scripts), and
// where each page lives. Pages are HTML5 written as well-formed XML (void
// elements closed), so an XML parser reads them too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace orba::report {

// Text for HTML text and attribute values: & < > " ' as references, and
// control characters that no page may hold (all but TAB, LF, CR) as U+FFFD.
std::string Escape(std::string_view text);

// <a href="HREF">TEXT</a>, both escaped; the text alone when `href` is "".
std::string Link(const std::string& href, std::string_view text);

// One page of the site; `root` leads from the page's folder to the site's
// ("" or "../"), and every link the frame writes starts with it.
struct PageFrame {
  std::string title;
  std::string root;
  std::string model_name;
};

// The whole page around `body` (HTML already escaped).
std::string PageText(const PageFrame& frame, const std::string& body);

// A table the site's script can sort (click a heading) and filter (the box
// above it); `id` names it for the box. `head` is the <tr> of headings,
// `rows` the body's rows.
std::string SortableTable(const std::string& id, const std::string& head, const std::string& rows);

// <tr><th>A</th><th>B</th>...</tr> of the escaped names.
std::string HeadingRow(std::initializer_list<std::string_view> names);

// Where pages live, relative to the site's root.
inline constexpr char kElementsFolder[] = "elements";
inline constexpr char kDiagramsFolder[] = "diagrams";
// "elements/0A1B....html" for a GUID (braces dropped); an element whose GUID
// is not plain letters, digits and hyphens is named by its id instead.
std::string ElementPagePath(const std::string& guid, int32_t element_id);
std::string DiagramPagePath(size_t number);  // "diagrams/1.html", from 1

}  // namespace orba::report
