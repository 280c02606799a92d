#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "addin/tessary.h"
#include "support/recording_repository.h"
#include "support/test_model.h"
#include "support/test_platform.h"

namespace addin {
namespace {

using automation::Variant;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::Return;
using testing_support::RecordingRepository;
using testing_support::TestModel;

// The new-element event's arguments: every index holds the same value.
class FakeEventArguments : public host::EventArguments {
 public:
  explicit FakeEventArguments(Variant value) : value_(std::move(value)) {}

  std::shared_ptr<host::EventArgument> Item(int16_t index) override {
    indices.push_back(index);
    return std::make_shared<Argument>(value_);
  }
  std::vector<int16_t> indices;

 private:
  class Argument : public host::EventArgument {
   public:
    explicit Argument(Variant value) : value_(std::move(value)) {}
    Variant Value() override { return value_; }

   private:
    Variant value_;
  };
  Variant value_;
};

constexpr char kModel[] = R"({
  "format": "orba-model", "version": 1,
  "packages": [{"key": "root", "name": "Model"}],
  "elements": [
    {"key": "viewpoint", "package": "root", "type": "Class", "name": "V", "metatype": "Viewpoint"},
    {"key": "lower", "package": "root", "type": "Class", "name": "v", "metatype": "viewpoint"},
    {"key": "upper", "package": "root", "type": "Class", "name": "V2", "metatype": "VIEWPOINT"},
    {"key": "view", "package": "root", "type": "Package", "name": "W", "metatype": "View"},
    {"key": "class", "package": "root", "type": "Class", "name": "C", "metatype": "Class"},
    {"key": "plural", "package": "root", "type": "Class", "name": "P", "metatype": "viewpoints"},
    {"key": "none", "package": "root", "type": "Class", "name": "N"},
    {"key": "req", "package": "root", "type": "Requirement", "name": "R",
     "metatype": "Requirement"},
    {"key": "functional", "package": "root", "type": "Requirement", "name": "F",
     "metatype": "FunctionalRequirement"},
    {"key": "lowerReq", "package": "root", "type": "Requirement", "name": "r",
     "metatype": "requirement"},
    {"key": "block", "package": "root", "type": "Class", "name": "B", "metatype": "Block"}
  ]
})";

class NotificationsTest : public testing::Test {
 protected:
  NotificationsTest() { repository_->has_technology = true; }

  void Connect() {
    addin_.Orba_Connect(repository_);
    repository_->ClearCalls();
  }
  std::shared_ptr<FakeEventArguments> NewElement(const std::string& key) {
    return std::make_shared<FakeEventArguments>(Variant(model_.ElementId(key)));
  }

  testing_support::TestPlatform platform_;
  CTessary addin_{platform_.platform};
  TestModel model_{kModel};
  std::shared_ptr<RecordingRepository> repository_ =
      std::make_shared<RecordingRepository>(model_.Repository());
};

// ---- Orba_OnPostNewElement ----

struct NewElementCase {
  std::string key;
  bool made_abstract;
  friend void PrintTo(const NewElementCase& c, std::ostream* os) { *os << c.key; }
};

class NewElementTest : public NotificationsTest,
                       public testing::WithParamInterface<NewElementCase> {};

TEST_P(NewElementTest, ViewpointsInAnyCaseBecomeAbstract) {
  Connect();
  const auto info = NewElement(GetParam().key);
  EXPECT_EQ(addin_.Orba_OnPostNewElement(repository_, info), GetParam().made_abstract);
  EXPECT_THAT(info->indices, ElementsAre(0));
  EXPECT_EQ(repository_->LastArgument("GetElementByID"),
            std::to_string(model_.ElementId(GetParam().key)));
  EXPECT_EQ(model_.Element(GetParam().key)->Abstract(), GetParam().made_abstract ? "1" : "0");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NewElementTest,
    testing::Values(NewElementCase{"viewpoint", true}, NewElementCase{"lower", true},
                    NewElementCase{"upper", true}, NewElementCase{"view", false},
                    NewElementCase{"class", false}, NewElementCase{"plural", false},
                    NewElementCase{"none", false}));

TEST_F(NotificationsTest, TheElementIdIsConvertedFromTheArgumentsValue) {
  Connect();
  const int32_t id = model_.ElementId("viewpoint");
  for (const Variant& value : {Variant(std::to_string(id)), Variant(double(id) + 0.4),
                               Variant(static_cast<int16_t>(id))}) {
    SCOPED_TRACE(value.ToString());
    EXPECT_TRUE(
        addin_.Orba_OnPostNewElement(repository_, std::make_shared<FakeEventArguments>(value)));
    EXPECT_EQ(repository_->LastArgument("GetElementByID"), std::to_string(id));
  }
}

TEST_F(NotificationsTest, WhileDisabledANewViewpointIsLeftAlone) {
  const auto info = NewElement("viewpoint");
  EXPECT_FALSE(addin_.Orba_OnPostNewElement(repository_, info));
  EXPECT_THAT(info->indices, IsEmpty());
  EXPECT_THAT(repository_->Calls(), IsEmpty());
  EXPECT_EQ(model_.Element("viewpoint")->Abstract(), "0");
}

TEST_F(NotificationsTest, AnIdNamingNoElementFails) {
  Connect();
  const auto info = std::make_shared<FakeEventArguments>(Variant(int32_t{999999}));
  EXPECT_THROW(addin_.Orba_OnPostNewElement(repository_, info), automation::Error);
}

TEST_F(NotificationsTest, AValueThatIsNoNumberFails) {
  Connect();
  const auto info = std::make_shared<FakeEventArguments>(Variant("not an id"));
  EXPECT_THROW(addin_.Orba_OnPostNewElement(repository_, info), automation::TypeMismatch);
  EXPECT_THAT(repository_->Calls(), IsEmpty());
}

TEST_F(NotificationsTest, AFailingLookupReachesTheHostAndChangesNothing) {
  Connect();
  repository_->FailOn("GetElementByID");
  EXPECT_THROW(addin_.Orba_OnPostNewElement(repository_, NewElement("viewpoint")), host::Error);
  EXPECT_EQ(model_.Element("viewpoint")->Abstract(), "0");
}

class MockElement : public host::Element {
 public:
  MOCK_METHOD(int32_t, ElementID, (), (override));
  MOCK_METHOD(std::string, ElementGUID, (), (override));
  MOCK_METHOD(std::string, Name, (), (override));
  MOCK_METHOD(std::string, Notes, (), (override));
  MOCK_METHOD(std::string, Type, (), (override));
  MOCK_METHOD(std::string, Stereotype, (), (override));
  MOCK_METHOD(std::string, Metatype, (), (override));
  MOCK_METHOD(std::string, Abstract, (), (override));
  MOCK_METHOD(void, SetAbstract, (const std::string&), (override));
  MOCK_METHOD(std::string, Multiplicity, (), (override));
  MOCK_METHOD(int32_t, ClassifierID, (), (override));
  MOCK_METHOD(int32_t, ParentID, (), (override));
  MOCK_METHOD(int32_t, PropertyTypeID, (), (override));
  MOCK_METHOD(host::CollectionPtr<host::Element>, Elements, (), (override));
  MOCK_METHOD(host::CollectionPtr<host::Element>, EmbeddedItems, (), (override));
  MOCK_METHOD(host::CollectionPtr<host::Connector>, Connectors, (), (override));
  MOCK_METHOD(host::CollectionPtr<host::Method>, Methods, (), (override));
  MOCK_METHOD(host::CollectionPtr<host::Attribute>, Attributes, (), (override));
  MOCK_METHOD(host::CollectionPtr<host::TaggedValue>, TaggedValues, (), (override));
  MOCK_METHOD(host::CollectionPtr<host::TaggedValue>, TaggedValueList, (), (override));
  MOCK_METHOD(bool, Update, (), (override));
};

// A repository whose every element is the one given.
class OneElementRepository : public RecordingRepository {
 public:
  explicit OneElementRepository(host::ElementPtr element) : element_(std::move(element)) {
    build_number = 1558;
  }
  host::ElementPtr GetElementByID(int32_t) override { return element_; }

 private:
  host::ElementPtr element_;
};

TEST_F(NotificationsTest, WritesTheTextOfTrueThenUpdatesWhateverUpdateAnswers) {
  const auto element = std::make_shared<testing::StrictMock<MockElement>>();
  const auto repository = std::make_shared<OneElementRepository>(element);
  addin_.Orba_Connect(repository);
  testing::InSequence in_order;
  EXPECT_CALL(*element, Metatype()).WillOnce(Return("ViewPoint"));
  EXPECT_CALL(*element, SetAbstract("True"));
  EXPECT_CALL(*element, Update()).WillOnce(Return(false));
  EXPECT_TRUE(addin_.Orba_OnPostNewElement(repository, NewElement("viewpoint")));
}

// ---- Orba_OnNotifyContextItemModified ----

TEST_F(NotificationsTest, AModifiedRequirementRedrawsTheOpenDiagramsOnce) {
  Connect();
  const std::string guid = model_.ElementGuid("req");
  addin_.Orba_OnNotifyContextItemModified(repository_, guid, 4);
  EXPECT_THAT(repository_->Calls(),
              ElementsAre("HasTechnology(SysML)", "GetModelItemXml(" + guid + ")",
                          "RedrawOpenDiagrams(False)"));
}

TEST_F(NotificationsTest, OnlyTheExactMetatypeRequirementRedraws) {
  Connect();
  for (const std::string key : {"functional", "lowerReq", "block", "viewpoint"}) {
    SCOPED_TRACE(key);
    repository_->ClearCalls();
    const std::string guid = model_.ElementGuid(key);
    addin_.Orba_OnNotifyContextItemModified(repository_, guid, 4);
    EXPECT_THAT(repository_->Calls(),
                ElementsAre("HasTechnology(SysML)", "GetModelItemXml(" + guid + ")"));
  }
}

TEST_F(NotificationsTest, OnlyElementsWithAGuidAreLookedAt) {
  Connect();
  const std::string guid = model_.ElementGuid("req");
  for (const auto& [item_guid, ot] : std::vector<std::pair<std::string, int32_t>>{
           {guid, 0}, {guid, 1}, {guid, 5}, {guid, -4}, {"", 4}}) {
    SCOPED_TRACE(ot);
    repository_->ClearCalls();
    addin_.Orba_OnNotifyContextItemModified(repository_, item_guid, ot);
    EXPECT_THAT(repository_->Calls(), ElementsAre("HasTechnology(SysML)"));
  }
}

TEST_F(NotificationsTest, NothingHappensWithoutTheTechnology) {
  Connect();
  repository_->has_technology = false;
  addin_.Orba_OnNotifyContextItemModified(repository_, model_.ElementGuid("req"), 4);
  EXPECT_THAT(repository_->Calls(), ElementsAre("HasTechnology(SysML)"));
}

TEST_F(NotificationsTest, NothingHappensWhileDisabledOrWithoutRepository) {
  addin_.Orba_OnNotifyContextItemModified(repository_, model_.ElementGuid("req"), 4);
  EXPECT_THAT(repository_->Calls(), IsEmpty());
  Connect();
  EXPECT_NO_THROW(addin_.Orba_OnNotifyContextItemModified(nullptr, model_.ElementGuid("req"), 4));
}

TEST_F(NotificationsTest, AnItemDocumentThatCannotBeReadDoesNotRedraw) {
  Connect();
  repository_->model_item_xml = "<ModelItem Metatype=\"Requirement\"";
  addin_.Orba_OnNotifyContextItemModified(repository_, model_.ElementGuid("req"), 4);
  repository_->model_item_xml.reset();
  repository_->FailOn("GetModelItemXml", 2);
  addin_.Orba_OnNotifyContextItemModified(repository_, model_.ElementGuid("req"), 4);
  EXPECT_THAT(repository_->CallNames(),
              ElementsAre("HasTechnology", "GetModelItemXml", "HasTechnology", "GetModelItemXml"));
}

TEST_F(NotificationsTest, HostFailuresOutsideTheItemDocumentReachTheHost) {
  Connect();
  repository_->FailOn("HasTechnology");
  EXPECT_THROW(addin_.Orba_OnNotifyContextItemModified(repository_, model_.ElementGuid("req"), 4),
               host::Error);
  repository_->FailOn("RedrawOpenDiagrams");
  EXPECT_THROW(addin_.Orba_OnNotifyContextItemModified(repository_, model_.ElementGuid("req"), 4),
               host::Error);
}

}  // namespace
}  // namespace addin
