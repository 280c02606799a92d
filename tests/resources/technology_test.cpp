// The technology document as the module carries it: resource "TECHFILE" 101,
// its bytes, layout, header, profiles, shape scripts, diagram types and
// quick-link table, and the generator that writes it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base64.h"
#include "resources/resource_table.h"
#include "shape_script_archive.h"
#include "support/temp_folder.h"
#include "zip_members.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using namespace std::string_view_literals;

constexpr size_t kTrailingZeros = 3;

std::string_view Resource() {
  return resources::LoadResData(resources::kTechnologyType, resources::kTechnologyId);
}

std::string_view XmlText() { return Resource().substr(0, Resource().size() - kTrailingZeros); }

const pugi::xml_document& Document() {
  static pugi::xml_document document;
  static const pugi::xml_parse_result result = document.load_buffer(XmlText().data(), XmlText().size());
  EXPECT_TRUE(result) << result.description() << " at byte " << result.offset;
  return document;
}

pugi::xml_node Root() { return Document().child("Quindle.Technology"); }

std::vector<pugi::xml_node> Children(pugi::xml_node parent, const char* name = nullptr) {
  std::vector<pugi::xml_node> children;
  for (pugi::xml_node child : parent.children()) {
    if (name == nullptr || std::string_view(child.name()) == name) children.push_back(child);
  }
  return children;
}

std::vector<std::string> ChildNames(pugi::xml_node parent) {
  std::vector<std::string> names;
  for (pugi::xml_node child : parent.children()) names.emplace_back(child.name());
  return names;
}

std::vector<std::string> AttributeNames(pugi::xml_node node) {
  std::vector<std::string> names;
  for (pugi::xml_attribute attribute : node.attributes()) names.emplace_back(attribute.name());
  return names;
}

std::vector<pugi::xml_node> SysmlProfiles() { return Children(Root().child("UMLProfiles"), "UMLProfile"); }

pugi::xml_node Profile(std::string_view name) {
  for (pugi::xml_node profile : SysmlProfiles()) {
    if (profile.child("Documentation").attribute("name").value() == name) return profile;
  }
  ADD_FAILURE() << "no profile " << name;
  return {};
}

std::vector<pugi::xml_node> StereotypesOf(pugi::xml_node profile) {
  return Children(profile.child("Content").child("Stereotypes"), "Stereotype");
}

pugi::xml_node TaggedValueTypesOf(std::string_view profile) {
  return Profile(profile).child("Content").child("TaggedValueTypes");
}

std::string PropertyValue(pugi::xml_node base_type, const char* name) {
  return base_type.find_child_by_attribute("Property", "name", name).attribute("value").value();
}

pugi::xml_node Stereotype(std::string_view profile, std::string_view name) {
  for (pugi::xml_node stereotype : StereotypesOf(Profile(profile))) {
    if (stereotype.attribute("name").value() == name) return stereotype;
  }
  ADD_FAILURE() << "no stereotype " << name << " in " << profile;
  return {};
}

size_t CountOf(std::string_view text, std::string_view part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end = text.find(separator); end != std::string_view::npos; end = text.find(separator, start)) {
    parts.emplace_back(text.substr(start, end - start));
    start = end + separator.size();
  }
  parts.emplace_back(text.substr(start));
  return parts;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Where the generator and the shape scripts are: the build names them.
const std::filesystem::path kGenerator = TECHNOLOGY_GENERATOR;
const std::filesystem::path kScriptsFolder = TECHNOLOGY_SCRIPTS_FOLDER;

// --- bytes and layout -------------------------------------------------------------------------------

TEST(TechnologyResourceTest, IsFoundByTypeAndId) {
  EXPECT_GT(Resource().size(), kTrailingZeros);
  EXPECT_TRUE(Resource().starts_with("<Quindle.Technology version=\"1.0\">\r\n"));
}

TEST(TechnologyResourceTest, EndsWithTheRootEndTagCrLfAndThreeZeroBytes) {
  EXPECT_TRUE(Resource().ends_with("</Quindle.Technology>\r\n\0\0\0"sv));
  EXPECT_EQ(Resource().find('\0'), Resource().size() - kTrailingZeros);
}

TEST(TechnologyResourceTest, IsPlainAsciiWithCrLfLineEnds) {
  const std::string_view text = XmlText();
  for (size_t i = 0; i < text.size(); ++i) {
    ASSERT_LT(static_cast<unsigned char>(text[i]), 0x80) << "byte " << i;
    if (text[i] == '\n') {
      ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at byte " << i;
    }
    if (text[i] == '\r') {
      ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at byte " << i;
    }
  }
}

// Each line starts with one tab per open element; an Image's Base64 lines
// after its first stand unindented, as its text.
TEST(TechnologyResourceTest, IndentsOneTabPerNestingLevel) {
  std::vector<std::string> lines = Split(XmlText(), "\r\n");
  ASSERT_EQ(lines.back(), "");
  lines.pop_back();
  size_t depth = 0;
  bool inside_image = false;
  for (size_t number = 1; const std::string& line : lines) {
    const std::string where = "line " + std::to_string(number++) + ": " + line.substr(0, 60);
    if (inside_image) {
      inside_image = !line.ends_with("</Image>");
      continue;
    }
    const size_t tabs = line.find_first_not_of('\t');
    const std::string_view tag = std::string_view(line).substr(tabs);
    ASSERT_TRUE(tag.starts_with("<")) << where;
    if (tag.starts_with("</")) {
      ASSERT_GT(depth, 0u) << where;
      --depth;
    }
    ASSERT_EQ(tabs, depth) << where;
    if (tag.starts_with("<Image")) {
      inside_image = !tag.ends_with("</Image>");
    } else if (!tag.starts_with("</") && !tag.starts_with("<!--") && !tag.ends_with("/>")) {
      ++depth;
    }
  }
  EXPECT_EQ(depth, 0u);
}

TEST(TechnologyResourceTest, ParsesAsXml) {
  EXPECT_TRUE(Root());
  EXPECT_EQ(CountOf(XmlText(), "<!-- The profile content -->"), 13u);
  EXPECT_EQ(CountOf(XmlText(), "<!-- List of stereotypes used in this profile-->"), 13u);
}

TEST(TechnologyResourceTest, EscapesGreaterThanAndLineBreaksInAttributeValues) {
  EXPECT_GT(CountOf(XmlText(), "value=\"Source -&gt; Destination\""), 0u);
  EXPECT_EQ(CountOf(XmlText(), "Source -> Destination"), 0u);
  EXPECT_EQ(CountOf(XmlText(), "concerned with model views&#xA;\"/>"), 1u);
}

// --- header -----------------------------------------------------------------------------------------

TEST(TechnologyHeaderTest, HasDocumentationAndPerspectiveBeforeTheProfiles) {
  EXPECT_STREQ(Root().attribute("version").value(), "1.0");
  EXPECT_THAT(ChildNames(Root()), ElementsAre("Documentation", "Perspective", "UMLProfiles", "DiagramProfile"));
  const pugi::xml_node documentation = Root().child("Documentation");
  EXPECT_THAT(AttributeNames(documentation), ElementsAre("id", "name", "version", "notes"));
  EXPECT_STREQ(documentation.attribute("id").value(), "SysML");
  EXPECT_STREQ(documentation.attribute("name").value(), "Quindle Technology for SysML");
  EXPECT_STREQ(documentation.attribute("version").value(), "1.0");
  EXPECT_STREQ(documentation.attribute("notes").value(),
               "Implements OMG Systems Modeling Language (OMG SysML ) \n"
               "Specification, Draft Adopted Specification, ptc/06-05-03");
  EXPECT_EQ(CountOf(XmlText(), "(OMG SysML ) &#xA;Specification, Draft"), 1u);
  const pugi::xml_node perspective = Root().child("Perspective");
  EXPECT_THAT(AttributeNames(perspective), ElementsAre("Name", "isModelDefault"));
  EXPECT_STREQ(perspective.attribute("Name").value(), "SysML");
  EXPECT_STREQ(perspective.attribute("isModelDefault").value(), "true");
}

// --- profiles ---------------------------------------------------------------------------------------

struct ProfileCase {
  const char* name;
  const char* id;
  const char* notes;
  size_t stereotypes;
  int tagged_value_types;  // -1: no TaggedValueTypes element
};

const ProfileCase kProfiles[] = {
    {"SysML Model Elements", "1EFB0C4F-B",
     "SysML miscellaneous elements, primarily those concerned with model subdivision.", 11, 0},
    {"SysML Block Definition", "B8B33E09-A", "SysML block definition diagram elements", 14, 2},
    {"SysML Block Internal", "FEF2C883-F", "SysML internal block diagram elements", 5, 0},
    {"SysML Flows", "AEABC7C8-5", "SysML flow elements", 5, 1},
    {"SysML Parametric", "5137044C-A", "SysML parametric diagram elements.", 5, -1},
    {"SysML Allocations", "9A294ABB-B", "SysML allocation elements", 3, 0},
    {"SysML State", "84A96343-C", "UML4SysML state diagram elements.", 12, 0},
    {"SysML Activity", "F88CEC74-5",
     "UML4SysML activity diagram elements and SysML activity diagram extensions.", 31, -1},
    {"SysML Interaction", "5024EDEC-7", "UML4SysML sequence diagram elements.", 6, 0},
    {"SysML Use Case", "A7A06CDD-E", "UML4SysML use case elements.", 9, 0},
    {"SysML Requirements", "41A17287-F", "SysML elements used for documenting system requirements.", 14, 0},
    {"SysML Views", "9ABA421C-A", "SysML view elements, primarily those concerned with model views\n", 3, 0},
};

TEST(TechnologyProfilesTest, TwelveProfilesInOrderWithTheirDocumentation) {
  const std::vector<pugi::xml_node> profiles = SysmlProfiles();
  ASSERT_EQ(profiles.size(), std::size(kProfiles));
  EXPECT_THAT(ChildNames(Root().child("UMLProfiles")), ::testing::Each("UMLProfile"));
  for (size_t i = 0; i < profiles.size(); ++i) {
    const ProfileCase& expected = kProfiles[i];
    const pugi::xml_node documentation = profiles[i].child("Documentation");
    SCOPED_TRACE(expected.name);
    EXPECT_STREQ(profiles[i].attribute("profiletype").value(), "uml2");
    EXPECT_THAT(AttributeNames(documentation), ElementsAre("id", "name", "version", "notes"));
    EXPECT_STREQ(documentation.attribute("name").value(), expected.name);
    EXPECT_STREQ(documentation.attribute("id").value(), expected.id);
    EXPECT_STREQ(documentation.attribute("version").value(), "1.0");
    EXPECT_STREQ(documentation.attribute("notes").value(), expected.notes);
    EXPECT_THAT(ChildNames(profiles[i]), ElementsAre("Documentation", "Content", "Order"));
  }
}

TEST(TechnologyProfilesTest, ContentHoldsStereotypesTaggedValueTypesAndQuickLinkAsStated) {
  const std::vector<pugi::xml_node> profiles = SysmlProfiles();
  ASSERT_EQ(profiles.size(), std::size(kProfiles));
  for (size_t i = 0; i < profiles.size(); ++i) {
    const ProfileCase& expected = kProfiles[i];
    const pugi::xml_node content = profiles[i].child("Content");
    SCOPED_TRACE(expected.name);
    std::vector<std::string> children = {"Stereotypes"};
    if (expected.tagged_value_types >= 0) children.emplace_back("TaggedValueTypes");
    if (i == 0) children.emplace_back("QuickLink");
    EXPECT_THAT(ChildNames(content), ElementsAreArray(children));
    EXPECT_EQ(StereotypesOf(profiles[i]).size(), expected.stereotypes);
    EXPECT_THAT(ChildNames(content.child("Stereotypes")), ::testing::Each("Stereotype"));
    if (expected.tagged_value_types >= 0) {
      EXPECT_EQ(Children(content.child("TaggedValueTypes")).size(),
                static_cast<size_t>(expected.tagged_value_types));
    }
  }
}

TEST(TechnologyProfilesTest, EmptyContainersAreSelfClosing) {
  EXPECT_EQ(CountOf(XmlText(), "<TaggedValueTypes></TaggedValueTypes>"), 0u);
  EXPECT_EQ(CountOf(XmlText(), "<AppliesTo>\r\n\t\t\t\t\t\t</AppliesTo>"), 0u);
  EXPECT_EQ(CountOf(XmlText(), "\t\t\t\t<TaggedValueTypes/>\r\n"), 8u);
  EXPECT_EQ(CountOf(XmlText(), R"(<Stereotype name="unit" notes="" metatype="Unit" generalizes="valueType"/>)"), 1u);
  EXPECT_EQ(
      CountOf(XmlText(), R"(<Stereotype name="dimension" notes="" metatype="Dimension" generalizes="valueType"/>)"),
      1u);
}

TEST(TechnologyProfilesTest, TaggedValueTypesReferToStereotypedElements) {
  const pugi::xml_node dimension = TaggedValueTypesOf("SysML Block Definition").first_child();
  EXPECT_THAT(AttributeNames(dimension), ElementsAre("property", "description", "notes"));
  EXPECT_STREQ(dimension.attribute("property").value(), "dimension");
  EXPECT_STREQ(dimension.attribute("notes").value(), "Type=RefGUID;Stereotypes=dimension;");
  const pugi::xml_node item_property = TaggedValueTypesOf("SysML Flows").first_child();
  EXPECT_STREQ(item_property.attribute("property").value(), "itemProperty");
  EXPECT_STREQ(item_property.attribute("description").value(), "");
  EXPECT_STREQ(item_property.attribute("notes").value(), "Type=RefGUID;Stereotypes=BlockProperty;");
}

// Stereotype attributes stand in one fixed order; name and notes always come first.
TEST(TechnologyProfilesTest, StereotypeAttributesFollowTheDocumentOrder) {
  const std::vector<std::string> order = {"name",         "notes",        "alias",        "metatype",
                                          "isAbstract",   "generalizes",  "strictness",   "instanceMode",
                                          "instanceType", "instanceOwner"};
  for (pugi::xpath_node found : Document().select_nodes("//Stereotype")) {
    const pugi::xml_node stereotype = found.node();
    const std::vector<std::string> names = AttributeNames(stereotype);
    SCOPED_TRACE(stereotype.attribute("name").value());
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[0], "name");
    EXPECT_EQ(names[1], "notes");
    auto position = order.begin();
    for (const std::string& name : names) {
      position = std::find(position, order.end(), name);
      EXPECT_NE(position, order.end()) << name << " out of order";
    }
  }
}

TEST(TechnologyProfilesTest, StereotypeChildrenStandInOrder) {
  const std::vector<std::string> order = {"Image", "AppliesTo", "Redefinitions", "TaggedValues", "Constraints"};
  for (pugi::xpath_node found : Document().select_nodes("//Stereotype")) {
    auto position = order.begin();
    for (const std::string& name : ChildNames(found.node())) {
      position = std::find(position, order.end(), name);
      EXPECT_NE(position, order.end()) << found.node().attribute("name").value() << ": " << name;
    }
  }
}

// A tag typed by a tagged-value type of its profile carries its name alone;
// every other tag all six attributes, description and unit empty.
TEST(TechnologyProfilesTest, TagsCarryAllSixAttributesUnlessTypedByATaggedValueType) {
  size_t typed_by_tagged_value_type = 0;
  for (pugi::xml_node profile : SysmlProfiles()) {
    std::set<std::string> tagged_value_types;
    for (pugi::xml_node type : Children(profile.child("Content").child("TaggedValueTypes"))) {
      tagged_value_types.insert(type.attribute("property").value());
    }
    for (pugi::xpath_node found : profile.select_nodes(".//Tag")) {
      const pugi::xml_node tag = found.node();
      const std::string name = tag.attribute("name").value();
      if (AttributeNames(tag).size() == 1) {
        EXPECT_TRUE(tagged_value_types.contains(name)) << name << " has no tagged-value type";
        ++typed_by_tagged_value_type;
        continue;
      }
      EXPECT_THAT(AttributeNames(tag), ElementsAre("name", "type", "description", "unit", "values", "default"))
          << name;
      EXPECT_STREQ(tag.attribute("description").value(), "") << name;
      EXPECT_STREQ(tag.attribute("unit").value(), "") << name;
    }
  }
  EXPECT_EQ(typed_by_tagged_value_type, 3u);
}

struct TagCase {
  const char* stereotype;
  std::vector<std::string> tags;
};

TEST(TechnologyProfilesTest, RequirementTagsSitOnRequirementAndExtendedRequirement) {
  const TagCase cases[] = {
      {"requirement", {"Id"}},
      {"extendedRequirement", {"risk", "source", "verifyMethod"}},
      {"functionalRequirement", {}},
      {"interfaceRequirement", {}},
      {"performanceRequirement", {}},
      {"designRequirement", {}},
      {"physicalRequirement", {}},
  };
  for (const TagCase& c : cases) {
    const pugi::xml_node stereotype = Stereotype("SysML Requirements", c.stereotype);
    std::vector<std::string> tags;
    for (pugi::xml_node tag : Children(stereotype.child("TaggedValues"))) {
      tags.emplace_back(tag.attribute("name").value());
    }
    EXPECT_EQ(tags, c.tags) << c.stereotype;
  }
  const pugi::xml_node id = Stereotype("SysML Requirements", "requirement").child("TaggedValues").child("Tag");
  EXPECT_STREQ(id.attribute("type").value(), "String");
  EXPECT_STREQ(Stereotype("SysML Requirements", "designRequirement").attribute("generalizes").value(),
               "extendedRequirement");
  EXPECT_STREQ(Stereotype("SysML Requirements", "extendedRequirement").attribute("generalizes").value(),
               "requirement");
}

TEST(TechnologyProfilesTest, EveryRequirementsStereotypeHasTheFourContainers) {
  for (pugi::xml_node stereotype : StereotypesOf(Profile("SysML Requirements"))) {
    SCOPED_TRACE(stereotype.attribute("name").value());
    EXPECT_THAT(ChildNames(stereotype), ElementsAre("AppliesTo", "Redefinitions", "TaggedValues", "Constraints"));
    EXPECT_THAT(ChildNames(stereotype.child("Redefinitions")), IsEmpty());
    EXPECT_THAT(ChildNames(stereotype.child("Constraints")), IsEmpty());
  }
}

struct EmptyAppliesToCase {
  const char* profile;
  const char* stereotype;
  const char* redefines;
};

TEST(TechnologyProfilesTest, SomeRedefiningStereotypesCarryAnEmptyAppliesToFirst) {
  const EmptyAppliesToCase cases[] = {
      {"SysML Model Elements", "Package", "Package"},
      {"SysML Model Elements", "Nesting", "Nesting"},
      {"SysML Model Elements", "Realization", "Realisation"},
      {"SysML Activity", "Control Flow", "ControlFlow"},
  };
  for (const EmptyAppliesToCase& c : cases) {
    const pugi::xml_node stereotype = Stereotype(c.profile, c.stereotype);
    EXPECT_THAT(ChildNames(stereotype), ElementsAre("AppliesTo", "Redefinitions")) << c.stereotype;
    EXPECT_THAT(ChildNames(stereotype.child("AppliesTo")), IsEmpty()) << c.stereotype;
    EXPECT_STREQ(stereotype.child("Redefinitions").child("Redefine").attribute("type").value(), c.redefines);
  }
  EXPECT_THAT(ChildNames(Stereotype("SysML Model Elements", "Note")), ElementsAre("Redefinitions"));
}

TEST(TechnologyProfilesTest, BaseTypesCarryTheirPropertySets) {
  const pugi::xml_node block_class = Stereotype("SysML Block Definition", "block").first_child().first_child();
  EXPECT_STREQ(block_class.attribute("type").value(), "Class");
  EXPECT_EQ(Children(block_class, "Property").size(), 7u);
  EXPECT_EQ(PropertyValue(block_class, "_defaultDiagramType"), "SysML::InternalBlock");
  const pugi::xml_node time_event = Stereotype("SysML Activity", "TimeEvent").first_child().first_child();
  EXPECT_STREQ(time_event.name(), "Redefine");
  EXPECT_EQ(PropertyValue(time_event, "kind"), "AcceptEventTimer");
  const pugi::xml_node moe = Stereotype("SysML Parametric", "moe").child("AppliesTo").child("Apply");
  EXPECT_THAT(AttributeNames(moe), ElementsAre("type", "stereotype"));
  EXPECT_STREQ(moe.attribute("type").value(), "Stereotype");
  EXPECT_STREQ(moe.attribute("stereotype").value(), "BlockProperty");
  EXPECT_THAT(ChildNames(moe), IsEmpty());
}

TEST(TechnologyProfilesTest, AllocationStereotypesArePresentAndTheActivityPartitionOneTwice) {
  const pugi::xml_node allocate = Stereotype("SysML Allocations", "allocate");
  EXPECT_STREQ(allocate.attribute("metatype").value(), "Allocate");
  EXPECT_STREQ(allocate.child("AppliesTo").child("Apply").attribute("type").value(), "Dependency");
  const pugi::xpath_node_set partitions =
      Document().select_nodes("//UMLProfiles//Stereotype[@name='allocateActivityPartition']");
  ASSERT_EQ(partitions.size(), 2u);
  std::vector<std::string> written;
  for (pugi::xpath_node found : partitions) {
    EXPECT_STREQ(found.node().attribute("metatype").value(), "AllocateActivityPartition");
    EXPECT_STREQ(found.node().child("AppliesTo").child("Apply").attribute("type").value(), "ActivityPartition");
    EXPECT_STREQ(found.node().parent().parent().parent().child("Documentation").attribute("name").value(),
                 written.empty() ? "SysML Allocations" : "SysML Activity");
    std::ostringstream xml;
    found.node().print(xml);
    written.push_back(xml.str());
  }
  EXPECT_EQ(written[0], written[1]);
}

// --- toolbox order ----------------------------------------------------------------------------------

struct ToolboxCase {
  const char* profile;
  size_t items;
  std::vector<int> repeated;
  std::vector<int> skipped;
};

TEST(TechnologyToolboxTest, OrderNumbersStandAsStatedWithTheirRepeatsAndGaps) {
  const ToolboxCase cases[] = {
      {"SysML Model Elements", 11, {}, {}},   {"SysML Block Definition", 14, {}, {}},
      {"SysML Block Internal", 5, {}, {}},    {"SysML Flows", 5, {}, {}},
      {"SysML Parametric", 3, {}, {}},        {"SysML Allocations", 3, {}, {}},
      {"SysML State", 13, {}, {5}},           {"SysML Activity", 38, {16, 37}, {4, 17}},
      {"SysML Interaction", 6, {}, {2}},      {"SysML Use Case", 9, {}, {3}},
      {"SysML Requirements", 14, {}, {}},     {"SysML Views", 3, {}, {}},
  };
  for (const ToolboxCase& c : cases) {
    SCOPED_TRACE(c.profile);
    const std::vector<pugi::xml_node> items = Children(Profile(c.profile).child("Order"));
    EXPECT_EQ(items.size(), c.items);
    std::map<int, int> count_of;
    int previous = -1;
    for (pugi::xml_node item : items) {
      EXPECT_THAT(AttributeNames(item), ElementsAre("node", "order"));
      const std::string node = item.attribute("node").value();
      EXPECT_NE(node.find("::"), std::string::npos) << node;
      const int order = item.attribute("order").as_int(-1);
      EXPECT_GE(order, previous) << node;
      previous = order;
      ++count_of[order];
    }
    std::vector<int> repeated;
    std::vector<int> skipped;
    for (int order = 0; order <= previous; ++order) {
      if (count_of[order] > 1) repeated.push_back(order);
      if (count_of[order] == 0) skipped.push_back(order);
    }
    EXPECT_EQ(repeated, c.repeated);
    EXPECT_EQ(skipped, c.skipped);
  }
}

TEST(TechnologyToolboxTest, ActivityEntriesSharingANumberAreTheOnesStated) {
  const pugi::xml_node order = Profile("SysML Activity").child("Order");
  auto order_of = [&order](const char* node) {
    return std::string(order.find_child_by_attribute("OrderItem", "node", node).attribute("order").value());
  };
  EXPECT_EQ(order_of("::controlflow"), "16");
  EXPECT_EQ(order_of("objectFlow::objectflow"), "16");
  EXPECT_EQ(order_of("probability::objectflow"), "37");
  EXPECT_EQ(order_of("::part"), "37");
}

// --- diagram profile --------------------------------------------------------------------------------

struct DiagramCase {
  const char* name;
  const char* apply;
  const char* alias;  // nullptr: no alias property
  const char* diagram_id;
  const char* toolbox;
};

TEST(TechnologyDiagramProfileTest, NineDiagramTypesWithTheirProperties) {
  const DiagramCase cases[] = {
      {"BlockDefinition", "Diagram_Logical", "SysML Block Definition", "bdd", "SysML Block Definition"},
      {"InternalBlock", "Diagram_CompositeStructure", "SysML Internal Block", "ibd", "SysML Block Internal"},
      {"Parametric", "Diagram_Logical", "SysML Parametric", "par", "SysML Parametric"},
      {"Activity", "Diagram_Activity", nullptr, "act", "SysML Activity"},
      {"Requirement", "Diagram_Custom", "SysML Requirements", "req", "SysML Requirements"},
      {"Package", "Diagram_Package", nullptr, "pkg", "SysML Model Elements"},
      {"Sequence", "Diagram_Sequence", nullptr, "sd", "SysML Interaction"},
      {"StateMachine", "Diagram_Statechart", nullptr, "stm", "SysML State"},
      {"UseCase", "Diagram_Use Case", nullptr, "uc", "SysML Use Case"},
  };
  const std::vector<pugi::xml_node> profiles = Children(Root().child("DiagramProfile"));
  ASSERT_EQ(profiles.size(), 1u);
  const pugi::xml_node documentation = profiles[0].child("Documentation");
  EXPECT_STREQ(documentation.attribute("id").value(), "3DECCB2D-A");
  EXPECT_STREQ(documentation.attribute("name").value(), "SysML");
  EXPECT_STREQ(documentation.attribute("version").value(), "1.0");
  EXPECT_STREQ(documentation.attribute("notes").value(), "SysML");
  EXPECT_THAT(ChildNames(profiles[0]), ElementsAre("Documentation", "Content"));
  const std::vector<pugi::xml_node> diagrams = StereotypesOf(profiles[0]);
  ASSERT_EQ(diagrams.size(), std::size(cases));
  for (size_t i = 0; i < diagrams.size(); ++i) {
    const DiagramCase& c = cases[i];
    SCOPED_TRACE(c.name);
    EXPECT_STREQ(diagrams[i].attribute("name").value(), c.name);
    EXPECT_TRUE(std::string_view(diagrams[i].attribute("notes").value()).starts_with("SysML "));
    const std::vector<pugi::xml_node> applies = Children(diagrams[i].child("AppliesTo"));
    ASSERT_EQ(applies.size(), 1u);
    EXPECT_STREQ(applies[0].attribute("type").value(), c.apply);
    std::vector<std::string> properties;
    std::map<std::string, std::string> value_of;
    for (pugi::xml_node property : applies[0].children("Property")) {
      properties.emplace_back(property.attribute("name").value());
      value_of[property.attribute("name").value()] = property.attribute("value").value();
    }
    std::vector<std::string> expected = {"diagramID", "frameReplaceSubStrings", "frameString",
                                         "frameStringInner", "toolbox"};
    if (c.alias != nullptr) expected.insert(expected.begin(), "alias");
    EXPECT_EQ(properties, expected);
    EXPECT_EQ(value_of["alias"], c.alias == nullptr ? "" : c.alias);
    EXPECT_EQ(value_of["diagramID"], c.diagram_id);
    EXPECT_EQ(value_of["toolbox"], c.toolbox);
    EXPECT_EQ(value_of["frameReplaceSubStrings"], "[],");
    EXPECT_EQ(value_of["frameString"], "#DGMID# [#DGMALIAS#] #DGMOWNERNAME# [#DGMNAME#]");
    EXPECT_EQ(value_of["frameStringInner"], "#DGMSTEREO# #DGMID# #DGMOWNERNAME# [#DGMNAME#]");
    EXPECT_TRUE(Profile(c.toolbox)) << "the toolbox names no profile";
  }
}

// --- shape scripts ----------------------------------------------------------------------------------

struct ImageCase {
  const char* profile;
  const char* stereotype;
  const char* script_file;
  std::string first_word;
};

TEST(TechnologyShapeScriptTest, SixImagesEachAZipOfTheUtf16Script) {
  const ImageCase cases[] = {
      {"SysML Model Elements", "PackageImport", "package_import.txt", "Shape"},
      {"SysML Flows", "flowPort", "flow_port.txt", "Shape"},
      {"SysML Flows", "itemFlow", "item_flow.txt", "Shape"},
      {"SysML Parametric", "internalProperty", "internal_property.txt", "Shape"},
      {"SysML Parametric", "constraintProperty", "constraint_property.txt", "Shape"},
      {"SysML Activity", "objectFlow", "object_flow.txt", "shape"},
  };
  EXPECT_EQ(Document().select_nodes("//Image").size(), std::size(cases));
  for (const ImageCase& c : cases) {
    SCOPED_TRACE(c.stereotype);
    const pugi::xml_node image = Stereotype(c.profile, c.stereotype).first_child();
    ASSERT_STREQ(image.name(), "Image");
    EXPECT_THAT(AttributeNames(image), ElementsAre("type", "xmlns:dt", "dt:dt"));
    EXPECT_STREQ(image.attribute("type").value(), "OrbaShapeScript 1.0");
    EXPECT_STREQ(image.attribute("xmlns:dt").value(), "urn:schemas-microsoft-com:datatypes");
    EXPECT_STREQ(image.attribute("dt:dt").value(), "bin.base64");
    const std::string text = image.text().get();  // the parser reads each CR LF as LF
    const std::vector<std::string> lines = Split(text, "\n");
    for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 72u) << "line " << i;
    EXPECT_LE(lines.back().size(), 72u);
    const std::vector<testing_support::ZipMember> members =
        testing_support::ReadZipMembers(technology::Base64Decode(text));
    ASSERT_EQ(members.size(), 1u);
    EXPECT_EQ(members[0].name, "str.dat");
    EXPECT_EQ(members[0].method, ZIP_CM_DEFLATE);
    std::string first_word;
    for (size_t i = 0; i < 10 && i < members[0].content.size(); i += 2) first_word += members[0].content[i];
    EXPECT_EQ(first_word, c.first_word);
    EXPECT_NE(members[0].content.substr(0, 2), "\xFF\xFE") << "no byte-order mark";
    EXPECT_EQ(members[0].content, technology::Utf16LeOf(ReadFile(kScriptsFolder / c.script_file)));
  }
}

TEST(TechnologyShapeScriptTest, PackageImportLabelsAreUtf16Guillemets) {
  const pugi::xml_node image = Stereotype("SysML Model Elements", "PackageImport").child("Image");
  const std::vector<testing_support::ZipMember> members =
      testing_support::ReadZipMembers(technology::Base64Decode(image.text().get()));
  ASSERT_EQ(members.size(), 1u);
  const std::string& script = members[0].content;
  EXPECT_NE(script.find(std::string("\xAB\0i\0m\0p\0o\0r\0t\0\xBB\0", 16)), std::string::npos);
  EXPECT_NE(script.find(std::string("\xAB\0a\0c\0c\0e\0s\0s\0\xBB\0", 16)), std::string::npos);
}

// --- quick links ------------------------------------------------------------------------------------

const char kCommentLine[] =
    "//Source Element Type,Source ST filter,Target Element Type,Target ST Filter,Diagram Filter,"
    "New Element Type,New Element ST,New Link Type,New Link ST,New Link Direction,New Link Caption,"
    "New Package,view,,,,Class,viewpoint,Dependency,conform,to,,Conform,TRUE,TRUE,TRUE,TRUE,Viewpoint,0,,,,,";

pugi::xml_node QuickLink() { return Profile("SysML Model Elements").child("Content").child("QuickLink"); }

std::string QuickLinkData() { return QuickLink().attribute("data").value(); }

// The rule lines: what stands between the comment line and the closing empty line.
std::vector<std::string> QuickLinkRules() {
  std::vector<std::string> lines = Split(QuickLinkData(), "\n");
  if (lines.size() < 3) return {};
  return {lines.begin() + 1, lines.end() - 2};
}

TEST(TechnologyQuickLinkTest, CommentLineThenRulesThenOneEmptyLine) {
  EXPECT_EQ(Document().select_nodes("//QuickLink").size(), 1u);
  EXPECT_THAT(AttributeNames(QuickLink()), ElementsAre("data"));
  const std::string data = QuickLinkData();
  EXPECT_TRUE(data.starts_with(std::string(kCommentLine) + "\n"));
  EXPECT_TRUE(data.ends_with(",\n\n"));
  EXPECT_EQ(CountOf(XmlText(), "<QuickLink data=\"" + std::string(kCommentLine) + "&#xA;Package,view,"), 1u);
  EXPECT_EQ(QuickLinkRules().size(), 421u);
}

TEST(TechnologyQuickLinkTest, EveryRuleHasTwentyThreeFieldsFilledAsTheColumnsSay) {
  const std::set<std::string> link_types = {"Dependency",    "Realization", "Nesting",   "Association",
                                            "ConnectorLink", "ControlFlow", "ObjectFlow"};
  for (const std::string& line : QuickLinkRules()) {
    const std::vector<std::string> f = Split(line, ",");
    ASSERT_EQ(f.size(), 23u) << line;
    const bool targets = !f[2].empty();
    const bool creates = !f[5].empty();
    EXPECT_TRUE(targets || creates) << line;
    EXPECT_EQ(f[4], "") << line;
    EXPECT_TRUE(link_types.contains(f[7])) << line;
    EXPECT_THAT(f[9], ::testing::AnyOf("to", "from", "undirected")) << line;
    EXPECT_EQ(f[10].empty(), creates) << line;
    EXPECT_EQ(f[11].empty(), !creates) << line;
    EXPECT_EQ(f[12], "TRUE") << line;
    EXPECT_EQ(f[13], creates ? "TRUE" : "") << line;
    EXPECT_EQ(f[14], "TRUE") << line;
    EXPECT_EQ(f[15], f[1].empty() ? "" : "TRUE") << line;
    EXPECT_EQ(f[16].empty(), !creates) << line;
    EXPECT_EQ(f[17], "0") << line;
    EXPECT_EQ(f[18], "") << line;
    EXPECT_EQ(f[19], targets && creates ? "TRUE" : "") << line;
    EXPECT_EQ(f[5], targets && creates ? "Port" : f[5]) << line;
    EXPECT_EQ(f[20] + f[21] + f[22], "") << line;
  }
}

TEST(TechnologyQuickLinkTest, HoldsRulesOfEachShape) {
  const std::vector<std::string> rules = QuickLinkRules();
  const char* expected[] = {
      "Package,view,Class,viewpoint,,,,Dependency,conform,to,Conform,,TRUE,,TRUE,TRUE,,0,,,,,",
      "Package,view,,,,Requirement,physicalRequirement,Dependency,PackageImport,to,,Package Import,"
      "TRUE,TRUE,TRUE,TRUE,Physical Requirement,0,,,,,",
      "Class,,Port,flowPort,,,,Association,,undirected,Association,,TRUE,,TRUE,,,0,,,,,",
      "Port,flowPort,Class,block,,Port,flowPort,ConnectorLink,itemFlow,undirected,,ItemFlow,"
      "TRUE,TRUE,TRUE,TRUE,FlowPort,0,,TRUE,,,",
      "Port,flowPort,,,,Object,,Association,,undirected,,Association,TRUE,TRUE,TRUE,TRUE,Block Instance,0,,,,,",
      "Object,,,,,Port,flowPort,Association,,undirected,,Association,TRUE,TRUE,TRUE,,FlowPort,0,,,,,",
      "Requirement,designRequirement,,,,Requirement,designRequirement,Dependency,trace,from,,Trace,"
      "TRUE,TRUE,TRUE,TRUE,Design Requirement,0,,,,,",
      "Part,partProperty,,,,Requirement,requirement,Realization,satisfy,to,,Satisfy,TRUE,TRUE,TRUE,TRUE,"
      "Requirement,0,,,,,",
      "Action,,,,,Action,,ControlFlow,continuous,to,,Continuous,TRUE,TRUE,TRUE,,Action,0,,,,,",
      "Object,,Action,,,,,ObjectFlow,discrete,from,Discrete,,TRUE,,TRUE,,,0,,,,,",
  };
  for (const char* line : expected) {
    EXPECT_NE(std::find(rules.begin(), rules.end(), line), rules.end()) << line;
  }
  // Its new-element twin stands on the comment line only.
  const std::string twin = "Package,view,,,,Class,viewpoint,Dependency,conform,to,,Conform,TRUE,TRUE,TRUE,TRUE,"
                           "Viewpoint,0,,,,,";
  EXPECT_EQ(std::find(rules.begin(), rules.end(), twin), rules.end());
}

TEST(TechnologyQuickLinkTest, TheRepeatedRulesAreTheTwentyOneSameKindCopyDeriveTraceLinks) {
  std::map<std::string, int> count_of;
  for (const std::string& line : QuickLinkRules()) ++count_of[line];
  EXPECT_EQ(count_of.size(), 400u);
  for (const auto& [line, count] : count_of) {
    if (count == 1) continue;
    EXPECT_EQ(count, 2) << line;
    const std::vector<std::string> f = Split(line, ",");
    EXPECT_EQ(f[0] + "/" + f[1], f[2] + "/" + f[3]) << line;
    EXPECT_THAT(f[8], ::testing::AnyOf("copy", "derive", "trace")) << line;
    EXPECT_EQ(f[9], "to") << line;
  }
  const auto twice = [](const auto& entry) { return entry.second == 2; };
  EXPECT_EQ(std::count_if(count_of.begin(), count_of.end(), twice), 21);
}

// --- the generator ----------------------------------------------------------------------------------

// Runs the built generator; true when it succeeds.
bool RunGenerator(const std::filesystem::path& scripts, const std::filesystem::path& output) {
  const std::string command =
      "'" + kGenerator.string() + "' '" + scripts.string() + "' '" + output.string() + "' 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

TEST(TechnologyGeneratorTest, WritesTheSameBytesEveryRunAsTheModuleCarries) {
  const testing_support::TempFolder folder;
  ASSERT_TRUE(RunGenerator(kScriptsFolder, folder.path() / "first.xml"));
  ASSERT_TRUE(RunGenerator(kScriptsFolder, folder.path() / "second.xml"));
  const std::string first = ReadFile(folder.path() / "first.xml");
  EXPECT_EQ(first, ReadFile(folder.path() / "second.xml"));
  EXPECT_EQ(first, Resource());
}

TEST(TechnologyGeneratorTest, FailsWithoutItsShapeScripts) {
  const testing_support::TempFolder folder;
  EXPECT_FALSE(RunGenerator(folder.path(), folder.path() / "out.xml"));
}

}  // namespace
