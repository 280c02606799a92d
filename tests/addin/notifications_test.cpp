// A new element that is a viewpoint becomes abstract. (Edited requirements are
// in cases/operations.txt.)
#include "addin/addin_fixture.h"
#include "orba/store/host_services_objects.h"

namespace addin {
namespace {

using automation::Variant;

constexpr char kModel[] = R"({
  "packages": [{"key": "root", "name": "Model"}],
  "elements": [
    {"key": "viewpoint", "package": "root", "type": "Class", "name": "V", "metatype": "Viewpoint"},
    {"key": "upper", "package": "root", "type": "Class", "name": "V2", "metatype": "VIEWPOINT"},
    {"key": "view", "package": "root", "type": "Package", "name": "W", "metatype": "View"},
    {"key": "plural", "package": "root", "type": "Class", "name": "P", "metatype": "viewpoints"},
    {"key": "none", "package": "root", "type": "Class", "name": "N"}]})";

class NotificationsTest : public AddinTest {
 protected:
  NotificationsTest() : AddinTest(kModel) {}

  // The new-element event's arguments as the host hands them: Item(0) holds the id.
  host::EventArgumentsPtr NewElementWithId(const Variant& id) {
    return host_->Wrap(std::make_shared<orba::store::EventArgumentList>(std::vector<Variant>{id}));
  }
  host::EventArgumentsPtr NewElement(const std::string& key) {
    return NewElementWithId(model_.ElementId(key));
  }
};

// A viewpoint's abstract flag is written as the text of True, then saved;
// what Update answers does not matter.
TEST_F(NotificationsTest, NewViewpointsInAnyCaseBecomeAbstract) {
  Connect();
  const std::pair<const char*, bool> keys[] = {
      {"viewpoint", true}, {"upper", true}, {"view", false}, {"plural", false}, {"none", false}};
  for (const auto& [key, viewpoint] : keys) {
    Plan().ClearCalls();
    EXPECT_EQ(addin_.Orba_OnPostNewElement(host_, NewElement(key)), viewpoint) << key;
    std::vector<std::string> calls = {
        "EventArguments.Item(0)", "EventArgument.Value()",
        "Repository.GetElementByID(" + std::to_string(model_.ElementId(key)) + ")",
        "Element.Metatype()"};
    if (viewpoint) calls.insert(calls.end(), {"Element.SetAbstract(True)", "Element.Update()"});
    EXPECT_EQ(Plan().CallsWithArguments(), calls) << key;
    EXPECT_EQ(model_.Element(key)->Abstract(), viewpoint ? "1" : "0") << key;
  }
  Plan().Answer("Element.Update", "False");
  EXPECT_TRUE(addin_.Orba_OnPostNewElement(host_, NewElement("upper")));
}

// The id may come as any value that converts to a whole number.
TEST_F(NotificationsTest, TheElementIdIsConvertedFromTheArgumentsValueOrTheEventFails) {
  EXPECT_FALSE(addin_.Orba_OnPostNewElement(host_, NewElement("viewpoint")));  // disabled
  EXPECT_THAT(Plan().Calls(), testing::IsEmpty());
  EXPECT_EQ(model_.Element("viewpoint")->Abstract(), "0");
  Connect();
  Plan().FailOn("Repository.GetElementByID");
  EXPECT_THROW(addin_.Orba_OnPostNewElement(host_, NewElement("viewpoint")), host::Error);
  EXPECT_EQ(model_.Element("viewpoint")->Abstract(), "0");
  const int32_t id = model_.ElementId("viewpoint");
  for (const Variant& value : {Variant(std::to_string(id)), Variant(double(id) + 0.4),
                               Variant(static_cast<int16_t>(id))}) {
    SCOPED_TRACE(value.ToString());
    EXPECT_TRUE(addin_.Orba_OnPostNewElement(host_, NewElementWithId(value)));
    EXPECT_EQ(Plan().LastArgument("Repository.GetElementByID"), std::to_string(id));
  }
  EXPECT_THROW(addin_.Orba_OnPostNewElement(host_, NewElementWithId(int32_t{999999})),
               automation::Error);
  Plan().ClearCalls();
  EXPECT_THROW(addin_.Orba_OnPostNewElement(host_, NewElementWithId("not an id")),
               automation::TypeMismatch);
  EXPECT_EQ(Plan().CountOf("Repository.GetElementByID"), 0);
}

}  // namespace
}  // namespace addin
