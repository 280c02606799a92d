// Edit notifications: a new viewpoint becomes abstract; a changed requirement
// redraws the open diagrams.
#include "addin/addin_fixture.h"
#include "orba/store/host_services_objects.h"

namespace addin {
namespace {

using automation::Variant;
using testing::ElementsAre;
using testing::IsEmpty;

constexpr char kModel[] = R"({
  "packages": [{"key": "root", "name": "Model"}],
  "elements": [
    {"key": "viewpoint", "package": "root", "type": "Class", "name": "V", "metatype": "Viewpoint"},
    {"key": "lower", "package": "root", "type": "Class", "name": "v", "metatype": "viewpoint"},
    {"key": "upper", "package": "root", "type": "Class", "name": "V2", "metatype": "VIEWPOINT"},
    {"key": "view", "package": "root", "type": "Package", "name": "W", "metatype": "View"},
    {"key": "class", "package": "root", "type": "Class", "name": "C", "metatype": "Class"},
    {"key": "plural", "package": "root", "type": "Class", "name": "P", "metatype": "viewpoints"},
    {"key": "none", "package": "root", "type": "Class", "name": "N"},
    {"key": "req", "package": "root", "type": "Requirement", "name": "R", "metatype": "Requirement"},
    {"key": "functional", "package": "root", "type": "Requirement", "name": "F",
     "metatype": "FunctionalRequirement"},
    {"key": "lowerReq", "package": "root", "type": "Requirement", "name": "r",
     "metatype": "requirement"}]})";

class NotificationsTest : public AddinTest {
 protected:
  NotificationsTest() : AddinTest(kModel) { Plan().Answer("Repository.HasTechnology", "True"); }

  // The new-element event's arguments as the host hands them: Item(0) holds the id.
  host::EventArgumentsPtr NewElementWithId(const Variant& id) {
    return host_->Wrap(std::make_shared<orba::store::EventArgumentList>(std::vector<Variant>{id}));
  }
  host::EventArgumentsPtr NewElement(const std::string& key) {
    return NewElementWithId(model_.ElementId(key));
  }
  void Modified(const std::string& guid, int32_t object_type = 4) {
    addin_.Orba_OnNotifyContextItemModified(host_, guid, object_type);
  }
};

// A viewpoint's abstract flag is written as the text of True, then saved.
TEST_F(NotificationsTest, NewViewpointsInAnyCaseBecomeAbstract) {
  Connect();
  const std::pair<const char*, bool> keys[] = {
      {"viewpoint", true}, {"lower", true},   {"upper", true}, {"view", false},
      {"class", false},    {"plural", false}, {"none", false}};
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
  Plan().Answer("Element.Update", "False");  // what Update answers does not matter
  EXPECT_TRUE(addin_.Orba_OnPostNewElement(host_, NewElement("lower")));
}

// The id may come as any value that converts to a whole number.
TEST_F(NotificationsTest, TheElementIdIsConvertedFromTheArgumentsValueOrTheEventFails) {
  EXPECT_FALSE(addin_.Orba_OnPostNewElement(host_, NewElement("viewpoint")));  // disabled
  EXPECT_THAT(Plan().Calls(), IsEmpty());
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

// Only an element (object type 4) with a GUID whose metatype is exactly
// "Requirement" redraws the open diagrams, once; and only with the technology.
TEST_F(NotificationsTest, AModifiedRequirementRedrawsTheOpenDiagramsOnce) {
  Modified(model_.ElementGuid("req"));  // disabled
  EXPECT_THAT(Plan().Calls(), IsEmpty());
  Connect();
  const std::string guid = model_.ElementGuid("req");
  Modified(guid);
  EXPECT_THAT(Calls(), ElementsAre("HasTechnology(SysML)", "GetModelItemXml(" + guid + ")",
                                   "RedrawOpenDiagrams(False)"));
  for (const char* key : {"functional", "lowerReq", "class", "viewpoint"}) {
    Plan().ClearCalls();
    Modified(model_.ElementGuid(key));
    EXPECT_THAT(Calls(), ElementsAre("HasTechnology(SysML)",
                                     "GetModelItemXml(" + model_.ElementGuid(key) + ")"))
        << key;
  }
  const std::pair<std::string, int32_t> not_elements[] = {
      {guid, 0}, {guid, 1}, {guid, 5}, {guid, -4}, {"", 4}};
  for (const auto& [item_guid, object_type] : not_elements) {
    Plan().ClearCalls();
    Modified(item_guid, object_type);
    EXPECT_THAT(Calls(), ElementsAre("HasTechnology(SysML)")) << object_type;
  }
  Plan().Answer("Repository.HasTechnology", "False");
  Plan().ClearCalls();
  Modified(guid);
  EXPECT_THAT(Calls(), ElementsAre("HasTechnology(SysML)"));
}

TEST_F(NotificationsTest, AnItemDocumentThatCannotBeReadDoesNotRedraw) {
  Connect();
  Plan().Answer("Repository.GetModelItemXml", "<ModelItem Metatype=\"Requirement\"");
  Modified(model_.ElementGuid("req"));
  Plan().StopAnswering("Repository.GetModelItemXml");
  Plan().FailOn("Repository.GetModelItemXml", 2);
  Modified(model_.ElementGuid("req"));
  EXPECT_THAT(Plan().Calls(),
              ElementsAre("Repository.HasTechnology", "Repository.GetModelItemXml",
                          "Repository.HasTechnology", "Repository.GetModelItemXml"));
}

TEST_F(NotificationsTest, HostFailuresOutsideTheItemDocumentReachTheHost) {
  Connect();
  for (const char* failing : {"Repository.HasTechnology", "Repository.RedrawOpenDiagrams"}) {
    Plan().FailOn(failing, Plan().CountOf(failing) + 1);
    EXPECT_THROW(Modified(model_.ElementGuid("req")), host::Error) << failing;
  }
}

}  // namespace
}  // namespace addin
