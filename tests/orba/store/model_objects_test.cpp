#include "orba/store/model_objects.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "orba/store/model_session.h"
#include "orba/store/stored_collection.h"
#include "store_fixtures.h"

namespace orba::store::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ModelObjectsTest : public ::testing::Test {
 protected:
  host::ElementPtr Element(const std::string& key) {
    return repository_->GetElementByID(keys_.elements.at(key));
  }
  host::PackagePtr Package(const std::string& key) {
    return repository_->GetPackageByID(keys_.packages.at(key));
  }

  RecordingHostServices services_;
  KeyMap keys_;
  std::shared_ptr<ModelRepository> repository_ = ImportedModel(kSampleModel, &keys_, &services_);
};

TEST_F(ModelObjectsTest, ElementsAndPackagesReadBackAsImported) {
  EXPECT_EQ(Describe(Element("block")),
            "Class \"Vehicle\" <block> Block abstract=1 [0..1] notes=a note parent=0 classifier=0"
            " tag z=last tag a=first attribute mass:Real attribute length:Real"
            " operation run<controlOperator>( c:ControlValue d:Integer ) operation stop<>( )");
  EXPECT_EQ(Describe(Element("part")),
            "Part \"front\" <>  abstract=0 [] notes= parent=3 classifier=7");
  EXPECT_EQ(TagsOf(Element("block")->TaggedValueList()), TagsOf(Element("block")->TaggedValues()));
  std::vector<host::MethodPtr> methods = Element("block")->Methods()->Items();
  EXPECT_NE(methods[0]->MethodGUID(), methods[1]->MethodGUID());

  host::PackagePtr views = Package("views");
  EXPECT_EQ(views->ParentID(), keys_.packages.at("root"));
  EXPECT_EQ(Package("root")->ParentID(), 0);
  EXPECT_EQ(Describe(views->Element()),
            "Package \"Views\" <view> View abstract=0 [] notes= parent=0 classifier=0");
}

TEST_F(ModelObjectsTest, CollectionsHoldTheOwnedEmbeddedAndTopLevelElementsInListOrder) {
  EXPECT_THAT(NamesOf(Element("block")->Elements()), ElementsAre("p2", "front", "p1"));
  EXPECT_THAT(NamesOf(Element("block")->EmbeddedItems()), ElementsAre("p2", "p1"));
  EXPECT_THAT(NamesOf(Element("wheel")->Elements()), IsEmpty());
  EXPECT_THAT(NamesOf(Element("drive")->EmbeddedItems()), ElementsAre("speed"));
  EXPECT_THAT(NamesOf(Element("drive")->Elements()), ElementsAre("speed"));
  EXPECT_THAT(NamesOf(Package("root")->Elements()), ElementsAre("Vehicle", "Wheel", "Drive"));
  EXPECT_THAT(NamesOf(Package("views")->Elements()), ElementsAre("Shown"));
}

TEST_F(ModelObjectsTest, ConnectorsAreListedOnceAtEitherEndWithTheirEndsAndTags) {
  std::vector<int32_t> ids;
  for (const auto& connector : Element("block")->Connectors()->Items()) {
    ids.push_back(connector->ConnectorID());
  }
  EXPECT_THAT(ids, ElementsAre(keys_.connectors.at("self"), keys_.connectors.at("alloc"),
                               keys_.connectors.at("wheelLink")));
  EXPECT_EQ(Element("drive")->Connectors()->Items()[0]->ConnectorID(),
            keys_.connectors.at("alloc"));
  EXPECT_EQ(Element("drive")->Connectors()->Count(), 1);
  EXPECT_EQ(Element("port1")->Connectors()->Count(), 0);
  EXPECT_THROW(Element("block")->Connectors()->AddNew("x", "Association"), host::Error);

  host::ConnectorPtr alloc = repository_->GetConnectorByID(keys_.connectors.at("alloc"));
  EXPECT_EQ(alloc->Type() + " " + alloc->Stereotype(), "Dependency allocate");
  EXPECT_EQ(alloc->ClientID(), keys_.elements.at("drive"));
  EXPECT_EQ(alloc->SupplierID(), keys_.elements.at("block"));
  EXPECT_EQ(alloc->ClientEnd()->Aggregation(), 1);
  EXPECT_EQ(alloc->SupplierEnd()->Aggregation(), 2);
  EXPECT_THAT(TagsOf(alloc->TaggedValues()), ElementsAre("itemProperty=<none>", "b=2"));
  host::ConnectorPtr self = repository_->GetConnectorByID(keys_.connectors.at("self"));
  EXPECT_EQ(self->Stereotype(), "");
  EXPECT_EQ(self->ClientEnd()->Aggregation(), 0);
}

TEST_F(ModelObjectsTest, SetAbstractStoresTheBooleanTextAsOneOrZeroAndReportsTheChange) {
  const std::pair<const char*, const char*> cases[] = {
      {"True", "1"},  {"true", "1"},  {"1", "1"}, {"-1", "1"},
      {"False", "0"}, {"false", "0"}, {"0", "0"}, {"yes", "yes"}};
  host::ElementPtr wheel = Element("wheel");
  for (const auto& [given, stored] : cases) {
    wheel->SetAbstract(given);
    EXPECT_EQ(wheel->Abstract(), stored) << given;
    EXPECT_TRUE(wheel->Update());
    EXPECT_EQ(Element("wheel")->Abstract(), stored) << given;
  }
  EXPECT_EQ(services_.calls, std::vector<std::string>(8, "ItemModified {WHEEL} 4"));
}

TEST_F(ModelObjectsTest, AddNewAndUpdateCreateAnElementWhereTheCollectionBelongs) {
  host::CollectionPtr<host::Element> elements = Package("root")->Elements();
  EXPECT_EQ(elements->Count(), 3);
  host::ElementPtr created = elements->AddNew("Engine", "Class");
  EXPECT_EQ(created->ElementID(), 0);
  EXPECT_THAT(services_.calls, IsEmpty());
  EXPECT_TRUE(created->Update());
  EXPECT_GT(created->ElementID(), 0);
  EXPECT_TRUE(std::regex_match(created->ElementGUID(),
                               std::regex(R"(\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\})")));
  EXPECT_THAT(services_.calls,
              ElementsAre("ElementCreated " + std::to_string(created->ElementID())));
  EXPECT_THAT(NamesOf(elements), ElementsAre("Vehicle", "Wheel", "Drive"));
  elements->Refresh();
  EXPECT_THAT(NamesOf(elements), ElementsAre("Vehicle", "Wheel", "Drive", "Engine"));
  EXPECT_EQ(repository_->GetElementByGUID(created->ElementGUID())->Type(), "Class");

  host::ElementPtr pin = Element("drive")->Elements()->AddNew("out", "ActivityParameter");
  pin->Update();
  EXPECT_EQ(pin->ParentID(), keys_.elements.at("drive"));
  EXPECT_THAT(NamesOf(Element("drive")->EmbeddedItems()), ElementsAre("speed", "out"));
  host::ElementPtr in_package = Package("views")->Element()->Elements()->AddNew("More", "Class");
  in_package->Update();
  EXPECT_EQ(in_package->ParentID(), 0);
  EXPECT_THAT(NamesOf(Package("views")->Elements()), ElementsAre("Shown", "More"));
}

TEST_F(ModelObjectsTest, DiagramsAddNewUpdateAndDisplayFlags) {
  host::CollectionPtr<host::Diagram> diagrams = Package("root")->Diagrams();
  EXPECT_THAT(NamesOf(diagrams), ElementsAre("Overview"));
  host::DiagramPtr created = diagrams->AddNew("Parts", "SysML::InternalBlock");
  EXPECT_TRUE(created->Update());
  EXPECT_GT(created->DiagramID(), 0);
  created->SetDisplayFlags(6);
  created->Update();
  host::DiagramPtr reread = repository_->GetDiagramByID(created->DiagramID());
  EXPECT_EQ(reread->Type(), "SysML::InternalBlock");
  EXPECT_EQ(reread->DisplayFlags(), 6);
  diagrams->Refresh();
  EXPECT_THAT(NamesOf(diagrams), ElementsAre("Overview", "Parts"));
}

TEST_F(ModelObjectsTest, ObjectsFailOnceTheModelIsClosed) {
  host::ElementPtr block = Element("block");
  repository_->CloseModel();
  EXPECT_THROW(block->Elements()->Count(), host::Error);
  EXPECT_THROW(block->Update(), host::Error);
}

// Count is 16-bit: a collection with more items than it can answer fails.
TEST(StoredCollectionCount, AnswersUpTo32767ItemsAndThrowsBeyond) {
  std::string tags = R"({"name": "t", "value": "v"})";
  for (size_t count = 1; count <= kMaxCollectionCount; ++count)
    tags += R"(, {"name": "t", "value": ""})";
  auto repository =
      ImportedModel(R"({"elements": [{"key": "e", "type": "Class", "tags": [)" + tags + "]}]}");
  host::CollectionPtr<host::TaggedValue> too_many = repository->GetElementByID(1)->TaggedValues();
  EXPECT_THROW(too_many->Count(), host::Error);
  EXPECT_EQ(too_many->Items().size(), kMaxCollectionCount + 1);
  repository->Session().Db().Execute("DELETE FROM t_objectproperties WHERE Value = 'v'");
  EXPECT_EQ(repository->GetElementByID(1)->TaggedValues()->Count(), 32767);
}

}  // namespace
}  // namespace orba::store::testing
