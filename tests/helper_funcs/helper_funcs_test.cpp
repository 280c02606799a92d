#include "helper_funcs/helper_funcs.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/scripted_host.h"
#include "support/test_model.h"

namespace HelperFuncs {
namespace {

constexpr char kModel[] = R"({
  "packages": [{"key": "root", "name": "Model"}],
  "elements": [
    {"key": "req", "package": "root", "type": "Requirement", "name": "Brakes",
     "tags": [{"name": "risk", "value": "Low"}, {"name": "Id", "value": "R-7"},
              {"name": "risk", "value": "High"}, {"name": "", "value": "unnamed"}]},
    {"key": "car", "package": "root", "type": "Class", "name": "Car", "metatype": "Block"}]})";

TEST(EscapeCompartmentTextTest, EscapesCommasAndStripsOrEscapesTheOthers) {
  struct Case {
    const char* text;
    bool strip;
    const char* escaped;
  };
  // clang-format off
  const Case cases[] = {
      {"a=b;c,d", true, "abc&_c_^d"}, {"a=b;c,d", false, "a&_eq_^b&_sc_^c&_c_^d"}, {"", true, ""},
      {"", false, ""}, {"plain text", true, "plain text"}, {";==;", true, ""},
      {",,", true, "&_c_^&_c_^"}, {";=,", false, "&_sc_^&_eq_^&_c_^"},
      {"&_c_^ stays", false, "&_c_^ stays"}, {"Größe=5, µm;", true, "Größe5&_c_^ µm"}};
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeCompartmentText(c.text, c.strip), c.escaped) << c.text << " " << c.strip;
  }
}

// A tag: the first of exactly that name; other case, unknown or empty names
// give "". An attribute: the named one, unescaped and matched with its case,
// of the first ModelItem anywhere in the host's document for the element; ""
// without one.
TEST(HelperFuncsTest, ReadTheFirstTagAndModelItemAttributeOfThatExactName) {
  const testing_support::TestModel model(kModel);
  const host::ElementPtr requirement = model.Element("req");
  const std::pair<const char*, const char*> tags[] = {{"risk", "Low"}, {"Id", "R-7"},  {"Risk", ""},
                                                      {"ID", ""},      {"source", ""}, {"", ""}};
  for (const auto& [name, value] : tags) EXPECT_EQ(GetTaggedValue(requirement, name), value);
  EXPECT_EQ(GetTaggedValue(nullptr, "risk"), "");
  const auto host = std::make_shared<testing_support::ScriptedHost>(model.Repository());
  const std::string car = model.ElementGuid("car");
  EXPECT_EQ(GetModelItemAttribute(host, car, "Metatype"), "Block");
  EXPECT_EQ(host->Plan().LastArgument("Repository.GetModelItemXml"), car);
  EXPECT_EQ(GetModelItemAttribute(host, "{no such element}", "Name"), "");
  EXPECT_EQ(GetModelItemAttribute(nullptr, car, "Name"), "");
  host->Plan().FailOn("Repository.GetModelItemXml",
                      host->Plan().CountOf("Repository.GetModelItemXml") + 1);
  EXPECT_EQ(GetModelItemAttribute(host, car, "Name"), "");
  const std::string item = R"(<ModelItem Name="a &amp; b" GUID="" Metatype="Block"/>)";
  const std::tuple<std::string, const char*, const char*> cases[] = {
      {item, "Name", "a & b"},
      {item, "GUID", ""},
      {item, "metatype", ""},
      {item, "Notes", ""},
      {R"(<Items><ModelItem Metatype="Requirement"><ModelItem Metatype="Block"/></ModelItem>)"
       R"(</Items>)",
       "Metatype", "Requirement"},
      {"not xml", "Metatype", ""},
      {R"(<Other Metatype="Requirement"/>)", "Metatype", ""}};
  for (const auto& [document, attribute, value] : cases) {
    host->Plan().Answer("Repository.GetModelItemXml", document);
    EXPECT_EQ(GetModelItemAttribute(host, "{X}", attribute), value) << document << attribute;
  }
}

}  // namespace
}  // namespace HelperFuncs
