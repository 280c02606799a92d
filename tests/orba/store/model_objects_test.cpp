#include "orba/store/model_objects.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

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
  host::ConnectorPtr Connector(const std::string& key) {
    return repository_->GetConnectorByID(keys_.connectors.at(key));
  }

  RecordingHostServices services_;
  KeyMap keys_;
  std::shared_ptr<ModelRepository> repository_ = ImportedModel(kSampleModel, &keys_, &services_);
};

TEST_F(ModelObjectsTest, ElementMembersReadBackAsImported) {
  host::ElementPtr block = Element("block");
  EXPECT_EQ(block->Name(), "Vehicle");
  EXPECT_EQ(block->Type(), "Class");
  EXPECT_EQ(block->Stereotype(), "block");
  EXPECT_EQ(block->Metatype(), "Block");
  EXPECT_EQ(block->Abstract(), "1");
  EXPECT_EQ(block->Multiplicity(), "0..1");
  EXPECT_EQ(block->Notes(), "a note");
  EXPECT_EQ(block->ParentID(), 0);
  EXPECT_EQ(Element("port1")->ParentID(), block->ElementID());
  EXPECT_EQ(Element("part")->ClassifierID(), keys_.elements.at("wheel"));
  EXPECT_EQ(Element("wheel")->Stereotype(), "");
  EXPECT_EQ(Element("wheel")->Abstract(), "0");
}

TEST_F(ModelObjectsTest, ElementsAreTheOwnedElementsInListOrder) {
  EXPECT_THAT(NamesOf(Element("block")->Elements()), ElementsAre("p2", "front", "p1"));
  EXPECT_THAT(NamesOf(Element("wheel")->Elements()), IsEmpty());
}

TEST_F(ModelObjectsTest, EmbeddedItemsAreThePortsParametersAndPins) {
  EXPECT_THAT(NamesOf(Element("block")->EmbeddedItems()), ElementsAre("p2", "p1"));
  EXPECT_THAT(NamesOf(Element("drive")->EmbeddedItems()), ElementsAre("speed"));
  EXPECT_THAT(NamesOf(Element("drive")->Elements()), ElementsAre("speed"));
}

TEST_F(ModelObjectsTest, PackageElementsAreItsTopLevelElementsWithoutSubpackages) {
  EXPECT_THAT(NamesOf(Package("root")->Elements()), ElementsAre("Vehicle", "Wheel", "Drive"));
  EXPECT_THAT(NamesOf(Package("views")->Elements()), ElementsAre("Shown"));
}

TEST_F(ModelObjectsTest, PackageHasItsElementAndParent) {
  host::PackagePtr views = Package("views");
  EXPECT_EQ(views->Name(), "Views");
  EXPECT_EQ(views->ParentID(), keys_.packages.at("root"));
  EXPECT_EQ(Package("root")->ParentID(), 0);
  host::ElementPtr element = views->Element();
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->Type(), "Package");
  EXPECT_EQ(element->Name(), "Views");
  EXPECT_EQ(element->Metatype(), "View");
}

TEST_F(ModelObjectsTest, ConnectorsListEveryConnectorAtEitherEndOnce) {
  auto ids = [](const host::CollectionPtr<host::Connector>& connectors) {
    std::vector<int32_t> result;
    for (const auto& connector : connectors->Items()) result.push_back(connector->ConnectorID());
    return result;
  };
  EXPECT_THAT(ids(Element("block")->Connectors()),
              ElementsAre(keys_.connectors.at("self"), keys_.connectors.at("alloc"),
                          keys_.connectors.at("wheelLink")));
  EXPECT_THAT(ids(Element("drive")->Connectors()), ElementsAre(keys_.connectors.at("alloc")));
  EXPECT_EQ(Element("port1")->Connectors()->Count(), 0);
}

TEST_F(ModelObjectsTest, ConnectorEndsTagsAndStereotype) {
  host::ConnectorPtr alloc = Connector("alloc");
  EXPECT_EQ(alloc->Type(), "Dependency");
  EXPECT_EQ(alloc->Stereotype(), "allocate");
  EXPECT_EQ(alloc->ClientID(), keys_.elements.at("drive"));
  EXPECT_EQ(alloc->SupplierID(), keys_.elements.at("block"));
  EXPECT_EQ(alloc->ClientEnd()->Aggregation(), 1);
  EXPECT_EQ(alloc->SupplierEnd()->Aggregation(), 2);
  std::vector<std::string> tags;
  for (const auto& tag : alloc->TaggedValues()->Items())
    tags.push_back(tag->Name() + "=" + tag->Value());
  EXPECT_THAT(tags, ElementsAre("itemProperty=<none>", "b=2"));
  EXPECT_EQ(Connector("self")->Stereotype(), "");
  EXPECT_EQ(Connector("self")->ClientEnd()->Aggregation(), 0);
}

TEST_F(ModelObjectsTest, TaggedValuesAndTaggedValueListGiveTheTagsInOrder) {
  host::ElementPtr block = Element("block");
  for (const auto& tags : {block->TaggedValues(), block->TaggedValueList()}) {
    std::vector<std::string> texts;
    for (const auto& tag : tags->Items()) texts.push_back(tag->Name() + "=" + tag->Value());
    EXPECT_THAT(texts, ElementsAre("z=last", "a=first"));
  }
}

TEST_F(ModelObjectsTest, AttributesMethodsAndParametersInOrder) {
  host::ElementPtr block = Element("block");
  EXPECT_THAT(NamesOf(block->Attributes()), ElementsAre("mass", "length"));
  EXPECT_EQ(block->Attributes()->Items()[0]->Type(), "Real");
  std::vector<host::MethodPtr> methods = block->Methods()->Items();
  ASSERT_EQ(methods.size(), 2u);
  EXPECT_EQ(methods[0]->Name(), "run");
  EXPECT_EQ(methods[0]->Stereotype(), "controlOperator");
  EXPECT_EQ(methods[1]->Stereotype(), "");
  EXPECT_NE(methods[0]->MethodGUID(), methods[1]->MethodGUID());
  EXPECT_THAT(NamesOf(methods[0]->Parameters()), ElementsAre("c", "d"));
  EXPECT_EQ(methods[0]->Parameters()->Items()[0]->Type(), "ControlValue");
}

struct AbstractCase {
  const char* given;
  const char* stored;
  friend void PrintTo(const AbstractCase& c, std::ostream* out) { *out << c.given; }
};

class SetAbstractTest : public ModelObjectsTest,
                        public ::testing::WithParamInterface<AbstractCase> {};

TEST_P(SetAbstractTest, StoresTheBooleanTextAsOneOrZero) {
  host::ElementPtr wheel = Element("wheel");
  wheel->SetAbstract(GetParam().given);
  EXPECT_EQ(wheel->Abstract(), GetParam().stored);
  EXPECT_TRUE(wheel->Update());
  EXPECT_EQ(Element("wheel")->Abstract(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Words, SetAbstractTest,
                         ::testing::Values(AbstractCase{"True", "1"}, AbstractCase{"true", "1"},
                                           AbstractCase{"1", "1"}, AbstractCase{"-1", "1"},
                                           AbstractCase{"False", "0"}, AbstractCase{"false", "0"},
                                           AbstractCase{"0", "0"}, AbstractCase{"yes", "yes"}));

TEST_F(ModelObjectsTest, UpdateOfAnExistingElementReportsItModified) {
  host::ElementPtr wheel = Element("wheel");
  wheel->SetAbstract("True");
  wheel->Update();
  EXPECT_THAT(services_.calls, ElementsAre("ItemModified " + wheel->ElementGUID() + " 4"));
}

TEST_F(ModelObjectsTest, AddNewAndUpdateCreateAnElementInThePackage) {
  host::CollectionPtr<host::Element> elements = Package("root")->Elements();
  EXPECT_EQ(elements->Count(), 3);
  host::ElementPtr created = elements->AddNew("Engine", "Class");
  EXPECT_EQ(created->ElementID(), 0);
  EXPECT_THAT(services_.calls, IsEmpty());

  EXPECT_TRUE(created->Update());

  EXPECT_GT(created->ElementID(), 0);
  EXPECT_TRUE(std::regex_match(
      created->ElementGUID(),
      std::regex(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})")));
  EXPECT_THAT(services_.calls,
              ElementsAre("ElementCreated " + std::to_string(created->ElementID())));
  EXPECT_THAT(NamesOf(elements), ElementsAre("Vehicle", "Wheel", "Drive"));
  elements->Refresh();
  EXPECT_THAT(NamesOf(elements), ElementsAre("Vehicle", "Wheel", "Drive", "Engine"));
  EXPECT_EQ(repository_->GetElementByGUID(created->ElementGUID())->Type(), "Class");
}

TEST_F(ModelObjectsTest, AddNewOnAnElementCreatesAnOwnedElement) {
  host::ElementPtr pin = Element("drive")->Elements()->AddNew("out", "ActivityParameter");
  pin->Update();
  EXPECT_EQ(pin->ParentID(), keys_.elements.at("drive"));
  EXPECT_THAT(NamesOf(Element("drive")->EmbeddedItems()), ElementsAre("speed", "out"));
}

TEST_F(ModelObjectsTest, AddNewOnAPackagesElementAddsToThePackage) {
  host::ElementPtr created = Package("views")->Element()->Elements()->AddNew("More", "Class");
  created->Update();
  EXPECT_EQ(created->ParentID(), 0);
  EXPECT_THAT(NamesOf(Package("views")->Elements()), ElementsAre("Shown", "More"));
}

TEST_F(ModelObjectsTest, CollectionsWithoutAddNewRefuseIt) {
  EXPECT_THROW(Element("block")->Connectors()->AddNew("x", "Association"), host::Error);
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
  EXPECT_THROW(repository_->GetElementByID(1), host::Error);
}

// Count is 16-bit: a collection with more items than it can answer fails.
std::string ElementWithTags(size_t tag_count) {
  std::string tags;
  for (size_t index = 0; index < tag_count; ++index) {
    tags += std::string(index ? "," : "") + R"({"name": "t", "value": "v"})";
  }
  return R"({"packages": [{"key": "p", "name": "P"}], "elements": [{"key": "e", "package": "p",
           "type": "Class", "name": "E", "tags": [)" +
         tags + "]}]}";
}

TEST(StoredCollectionCount, AnswersUpTo32767Items) {
  auto repository = ImportedModel(ElementWithTags(kMaxCollectionCount));
  EXPECT_EQ(repository->GetElementByID(2)->TaggedValues()->Count(), 32767);
}

TEST(StoredCollectionCount, ThrowsBeyond32767Items) {
  auto repository = ImportedModel(ElementWithTags(kMaxCollectionCount + 1));
  host::CollectionPtr<host::TaggedValue> tags = repository->GetElementByID(2)->TaggedValues();
  EXPECT_THROW(tags->Count(), host::Error);
  EXPECT_EQ(tags->Items().size(), kMaxCollectionCount + 1);
}

}  // namespace
}  // namespace orba::store::testing
