// The repository and the objects of the model it hands out.
#include "orba/store/model_repository.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "orba/store/host_services_objects.h"
#include "orba/store/json_model.h"
#include "orba/store/model_session.h"
#include "orba/store/row_cache.h"
#include "orba/store/stored_collection.h"
#include "store_fixtures.h"

namespace orba::store::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;

// A technology document as the add-in hands it over, three NUL bytes after the
// root. The stereotypes of its diagram profile are no element's.
std::string Technology(const std::string& id, const std::string& stereotypes = "") {
  return "<?xml version=\"1.0\"?>\r\n<Quindle.Technology><Documentation id=\"" + id +
         "\"/><UMLProfiles><UMLProfile><Content><Stereotypes>" + stereotypes +
         "</Stereotypes></Content></UMLProfile></UMLProfiles><DiagramProfile><UMLProfile>"
         "<Content><Stereotypes><Stereotype name=\"diagramOnly\" metatype=\"NotAnElementKind\"/>"
         "</Stereotypes></Content></UMLProfile></DiagramProfile></Quindle.Technology>\r\n" +
         std::string(3, '\0');
}

const std::string kSysML =
    Technology("SysML", R"(<Stereotype name="block" metatype="Block"/>)"
                        R"(<Stereotype name="requirement"/>)"
                        R"(<Stereotype name="requirement" metatype="Requirement"/>)"
                        R"(<Stereotype name="requirement" metatype="Second"/>)"
                        R"(<Stereotype name="emptyKind" metatype=""/>)");

class Metatypes : public EngineTest {};
TESSARY_ON_EACH_ENGINE(Metatypes);

TEST_P(Metatypes, AreDerivedFromTheFirstTechnologyThatGivesTheStereotypeOneUnlessExplicit) {
  KeyMap keys;
  auto repository = ImportedModel(R"json({"packages": [{"key": "p", "name": "P"}], "elements": [
    {"key": "derived", "package": "p", "type": "Class", "stereotype": "block"},
    {"key": "explicit", "package": "p", "type": "Class", "stereotype": "block", "metatype": "Other"},
    {"key": "explicitEmpty", "package": "p", "type": "Class", "stereotype": "block", "metatype": ""},
    {"key": "firstWithOne", "package": "p", "type": "Requirement", "stereotype": "requirement"},
    {"key": "caseDiffers", "package": "p", "type": "Class", "stereotype": "Block"},
    {"key": "unknown", "package": "p", "type": "Class", "stereotype": "nothing"},
    {"key": "diagramOnly", "package": "p", "type": "Class", "stereotype": "diagramOnly"},
    {"key": "none", "package": "p", "type": "Class"}]})json",
                                  &keys);
  const auto metatypes = [&] {
    std::string all;
    for (const auto& [key, id] : keys.elements) {
      all += key + "=" + repository->GetElementByID(id)->Metatype() + " ";
    }
    return all;
  };
  const std::string without = metatypes();
  EXPECT_EQ(without,
            "caseDiffers= derived= diagramOnly= explicit=Other explicitEmpty= firstWithOne= "
            "none= unknown= ");
  ASSERT_TRUE(repository->InstallTechnology(kSysML));
  EXPECT_EQ(metatypes(),
            "caseDiffers= derived=Block diagramOnly= explicit=Other explicitEmpty= "
            "firstWithOne=Requirement none= unknown= ");
  // An export writes explicit metatypes only, and the technologies.
  const nlohmann::json exported = nlohmann::json::parse(ExportJsonModel(*repository));
  EXPECT_FALSE(exported["elements"][0].contains("metatype"));
  EXPECT_EQ(exported["elements"][2]["metatype"], "");
  EXPECT_EQ(exported["technologies"], nlohmann::json::array({"SysML"}));
  repository->InstallTechnology(
      Technology("Later", R"(<Stereotype name="block" metatype="Two"/>)"));
  EXPECT_EQ(repository->GetElementByID(keys.elements.at("derived"))->Metatype(), "Block");
  EXPECT_TRUE(repository->RemoveTechnology("SysML"));
  EXPECT_EQ(repository->GetElementByID(keys.elements.at("derived"))->Metatype(), "Two");
  EXPECT_TRUE(repository->RemoveTechnology("Later"));
  EXPECT_EQ(metatypes(), without);
}

using RepositoryTest = SampleModelTest;
TESSARY_ON_EACH_ENGINE(RepositoryTest);

TEST_P(RepositoryTest, TechnologiesAndPerspectivesAreKeptByIdAndNameWhileAModelIsOpen) {
  EXPECT_FALSE(repository_->HasTechnology("SysML"));
  EXPECT_TRUE(repository_->InstallTechnology(kSysML));
  EXPECT_TRUE(repository_->HasTechnology("SysML"));
  EXPECT_FALSE(repository_->HasTechnology("sysml"));
  EXPECT_TRUE(repository_->InstallTechnology(Technology("SysML")));
  EXPECT_THAT(repository_->TechnologyIds(), ElementsAre("SysML"));
  // PostgreSQL's text holds no NUL: the padding after the root is dropped there.
  std::string kept = Technology("SysML");
  if (GetParam() == Engine::kPostgres) kept.resize(kept.size() - 3);
  EXPECT_EQ(repository_->TechnologyDocument("SysML"), kept);
  EXPECT_TRUE(repository_->RemoveTechnology("SysML"));
  EXPECT_FALSE(repository_->HasTechnology("SysML"));
  EXPECT_FALSE(repository_->RemoveTechnology("SysML"));
  EXPECT_EQ(repository_->TechnologyDocument("SysML"), "");
  for (const char* refused :
       {"not xml at all", "<Quindle.Technology><Documentation id=\"X\">",
        "<Other.Root><Documentation id=\"X\"/></Other.Root>",
        "<Quindle.Technology><Documentation name=\"no id\"/></Quindle.Technology>",
        "<Quindle.Technology><Documentation id=\"\"/></Quindle.Technology>", ""}) {
    EXPECT_FALSE(repository_->InstallTechnology(refused)) << refused;
  }
  EXPECT_THAT(repository_->TechnologyIds(), IsEmpty());
  EXPECT_EQ(repository_->TechnologyVisibility("SysML"), std::nullopt);
  repository_->SetTechnologyVisibility("SysML", "", false);
  EXPECT_EQ(repository_->TechnologyVisibility("SysML"), false);
  repository_->SetTechnologyVisibility("SysML", "", true);
  EXPECT_EQ(repository_->TechnologyVisibility("SysML"), true);
  EXPECT_EQ(repository_->QueryPerspective("SysML"), "0");
  repository_->InstallPerspective(
      "<?xml version=\"1.0\"?>\r\n<Perspectives><Perspective Name=\"SysML\" Technology=\"SysML\">"
      "<Folders>AN=1;</Folders><Validation>x</Validation></Perspective></Perspectives>\r\n",
      1);
  EXPECT_EQ(repository_->QueryPerspective("SysML"), "-1");
  EXPECT_EQ(repository_->QueryPerspective("sysml"), "0");
  EXPECT_THAT(repository_->PerspectiveNames(), ElementsAre("SysML"));
  EXPECT_EQ(repository_->SelectedPerspective(), "");
  repository_->SelectPerspective("SysML", 1);
  EXPECT_EQ(repository_->SelectedPerspective(), "SysML");
  EXPECT_THROW(repository_->InstallPerspective("<Perspectives>", 1), host::Error);
  EXPECT_THROW(repository_->InstallPerspective("<Perspectives/>", 1), host::Error);
  EXPECT_THAT(repository_->PerspectiveNames(), ElementsAre("SysML"));
  // Without a model, calls that need one and the objects of the closed one fail.
  EXPECT_TRUE(repository_->InstallTechnology(kSysML));
  EXPECT_THAT(repository_->ModelLocation(),
              ::testing::StartsWith(GetParam() == Engine::kSqlite ? ":memory:" : "postgresql:///"));
  host::ElementPtr block = Element("block");
  repository_->CloseModel();
  EXPECT_THROW(block->Elements()->Count(), host::Error);
  EXPECT_THROW(block->Update(), host::Error);
  EXPECT_EQ(repository_->ModelLocation(), "");
  EXPECT_FALSE(repository_->IsOpen());
  EXPECT_EQ(ErrorOf([&] { repository_->GetElementByID(1); }), "no model is open");
  EXPECT_FALSE(repository_->HasTechnology("SysML"));  // nothing is loaded without a model
  EXPECT_THROW(repository_->ExecuteSqlQuery("SELECT 1"), host::Error);
  EXPECT_THROW(repository_->QueryPerspective("SysML"), host::Error);
}

// Which reports a run gets, with their rules' texts and categories and on which
// items, is the validator's (tests/orba/validator); what an event's arguments
// hold reaches the add-in in tests/orba/session.
TEST_P(RepositoryTest, ProjectServicesGiveNewIdsAndKeepReportsAndEventArgumentsHoldTheirValues) {
  host::ProjectServicesPtr services = repository_->GetProjectServices();
  const std::string category = services->RegisterRuleCategory("SysML");
  EXPECT_NE(services->RegisterRuleCategory("Other"), category);
  const std::string rule = services->RegisterRule(category, 1, "More");
  EXPECT_EQ(repository_->Validation().CategoryOfRule("unknown"), nullptr);
  EXPECT_TRUE(services->ReportViolation(rule, 1, "A viewpoint must be abstract"));
  EXPECT_EQ(repository_->Validation().Violations().size(), 1u);
  EventArgumentList arguments({automation::Variant("text")});
  EXPECT_EQ(arguments.Item(0)->Value().ToString(), "text");
  EXPECT_THROW(arguments.Item(1), host::Error);
  EXPECT_THROW(arguments.Item(-1), host::Error);
  EXPECT_THROW(EventArgumentList({}).Item(0), host::Error);
}

using ModelObjectsTest = SampleModelTest;
TESSARY_ON_EACH_ENGINE(ModelObjectsTest);

TEST_P(ModelObjectsTest, ElementsPackagesAndConnectorsReadBackAsImported) {
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
  // A connector is listed once at either end.
  std::vector<int32_t> ids;
  for (const auto& connector : Element("block")->Connectors()->Items())
    ids.push_back(connector->ConnectorID());
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

TEST_P(ModelObjectsTest, SetAbstractStoresTheBooleanTextAsOneOrZero) {
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
}

TEST_P(ModelObjectsTest, AddNewAndUpdateCreateAnElementOrDiagramWhereTheCollectionBelongs) {
  host::CollectionPtr<host::Element> elements = Package("root")->Elements();
  EXPECT_EQ(elements->Count(), 3);
  host::ElementPtr created = elements->AddNew("Engine", "Class");
  EXPECT_EQ(created->ElementID(), 0);
  EXPECT_TRUE(created->Update());
  EXPECT_GT(created->ElementID(), 0);
  EXPECT_THAT(created->ElementGUID(), MatchesRegex(kGuidPattern));
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

  host::CollectionPtr<host::Diagram> diagrams = Package("root")->Diagrams();
  EXPECT_THAT(NamesOf(diagrams), ElementsAre("Overview"));
  host::DiagramPtr diagram = diagrams->AddNew("Parts", "SysML::InternalBlock");
  EXPECT_TRUE(diagram->Update());
  EXPECT_EQ(repository_->DiagramIds().back(), diagram->DiagramID());
  diagram->SetDisplayFlags(6);
  diagram->Update();
  host::DiagramPtr reread = repository_->GetDiagramByID(diagram->DiagramID());
  EXPECT_EQ(reread->Type(), "SysML::InternalBlock");
  EXPECT_EQ(reread->DisplayFlags(), 6);
  diagrams->Refresh();
  EXPECT_THAT(NamesOf(diagrams), ElementsAre("Overview", "Parts"));
}

// Count is 16-bit: a collection with more items than it can answer fails.
class StoredCollectionCount : public EngineTest {};
TESSARY_ON_EACH_ENGINE(StoredCollectionCount);

TEST_P(StoredCollectionCount, AnswersUpTo32767ItemsAndThrowsBeyond) {
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

// While the read cache is on, rows found by id and the last ModelItem
// document are read once: a change made behind the session's back is not
// seen until the session writes (any write forgets them) or the cache is
// switched off. Missing ids are kept too.
TEST_P(ModelObjectsTest, TheReadCacheKeepsRowsUntilAWriteOrItsEnd) {
  ModelSession& session = repository_->Session();
  const int32_t wheel = keys_.elements.at("wheel");
  const int32_t alloc = keys_.connectors.at("alloc");
  auto rename = [&session](const std::string& sql) { session.Db().Execute(sql); };
  session.SetReadCache(true);
  EXPECT_EQ(repository_->GetElementByID(wheel)->Name(), "Wheel");
  EXPECT_EQ(repository_->GetConnectorByID(alloc)->Stereotype(), "allocate");
  EXPECT_EQ(repository_->GetPackageByID(keys_.packages.at("views"))->Name(), "Views");
  EXPECT_EQ(repository_->GetElementByID(9999), nullptr);
  const std::string document = repository_->GetModelItemXml("{WHEEL}");
  EXPECT_EQ(Element("block")->TaggedValues()->Count(), 2);
  rename("UPDATE t_object SET Name = 'Rim' WHERE Name = 'Wheel'");
  rename("UPDATE t_connector SET Stereotype = 'trace' WHERE Stereotype = 'allocate'");
  rename("UPDATE t_package SET Name = 'Seen' WHERE Name = 'Views'");
  rename("UPDATE t_objectproperties SET Object_ID = " + std::to_string(wheel));
  EXPECT_EQ(Element("block")->TaggedValues()->Count(), 2);
  EXPECT_EQ(repository_->GetElementByID(wheel)->Name(), "Wheel");
  EXPECT_EQ(repository_->GetConnectorByID(alloc)->Stereotype(), "allocate");
  EXPECT_EQ(repository_->GetPackageByID(keys_.packages.at("views"))->Name(), "Views");
  EXPECT_EQ(repository_->GetModelItemXml("{WHEEL}"), document);
  session.InsertTag(wheel, NamedText{"written", "1"});
  EXPECT_EQ(repository_->GetElementByID(wheel)->Name(), "Rim");
  EXPECT_THAT(repository_->GetModelItemXml("{WHEEL}"), ::testing::HasSubstr("Name=\"Rim\""));
  EXPECT_EQ(Element("block")->TaggedValues()->Count(), 0);
  rename("UPDATE t_object SET Name = 'Hub' WHERE Name = 'Rim'");
  session.SetReadCache(false);
  EXPECT_EQ(repository_->GetElementByID(wheel)->Name(), "Hub");
  EXPECT_EQ(repository_->GetConnectorByID(alloc)->Stereotype(), "trace");
  EXPECT_EQ(repository_->GetPackageByID(keys_.packages.at("views"))->Name(), "Seen");
}

// The cache holds two generations of rows: one filling, one full. A row
// found in the older is kept; the rest of the older goes when the newer fills.
TEST(RowCache, KeepsTheRowsInUseWithinTwiceItsCapacity) {
  RowCache<std::string> cache(2);
  cache.Put(1, "one");
  cache.Put(2, std::nullopt);
  ASSERT_NE(cache.Find(2), nullptr);
  EXPECT_EQ(*cache.Find(2), std::nullopt);
  cache.Put(3, "three");  // 1 and 2 are now the older generation
  EXPECT_EQ(*cache.Find(1), "one");
  cache.Put(4, "four");  // 3 and 1 become the older; 2 goes
  EXPECT_EQ(cache.Find(2), nullptr);
  EXPECT_EQ(*cache.Find(3), "three");
  EXPECT_EQ(*cache.Find(4), "four");
  cache.Clear();
  EXPECT_EQ(cache.Find(4), nullptr);
}

}  // namespace
}  // namespace orba::store::testing
