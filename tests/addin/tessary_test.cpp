// The add-in's life with its host beyond the conversations of cases/: the
// documents it hands the host, the About dialog, the allocation search's
// texts and the new element's id.
#include "addin/addin_fixture.h"
#include "orba/store/host_services_objects.h"
#include "platform/ansi_text.h"
#include "resources/resource_table.h"
#include "search/allocation_search.h"
#include "support/temp_folder.h"
#include "ui/about_dialog.h"

namespace addin {
namespace {

using automation::Variant;
using testing::ElementsAre;

TEST_F(AddinTest, ConstructionLeavesTheAddinDisabledWithItsHelpFileBesideTheModule) {
  EXPECT_TRUE(addin_.Disabled());
  EXPECT_EQ(addin_.HelpFile(), "/opt/sysml/Orba_SysML.chm");
  EXPECT_EQ(addin_.Compartments, "");
  ASSERT_TRUE(automation::PutProperty(addin_, "Compartments", Variant("parts")).ok);
  EXPECT_EQ(automation::GetProperty(addin_, "Compartments").value.String(), "parts");
}

std::string Resource(std::string_view type, int id) {
  return platform::AnsiToText(resources::LoadResData(type, id));
}

TEST_F(AddinTest, HandsTheHostTheWholeSearchTechnologyAndPerspectiveDocuments) {
  Connect();
  addin_.Orba_OnPostInitialized(host_);
  ASSERT_THAT(Plan().Calls(), ElementsAre("Repository.RegisterSearches"));
  EXPECT_EQ(Plan().LastArgument("Repository.RegisterSearches"),
            testing_support::FileBytes(TESSARY_SOURCE_ROOT "/src/resources/custom_search.xml"));
  addin_.DoLoad(host_);
  const std::string technology = Plan().LastArgument("Repository.InstallTechnology");
  EXPECT_EQ(technology, Resource("TECHFILE", 101));
  EXPECT_EQ(technology.size(), resources::LoadResData("TECHFILE", 101).size());
  EXPECT_EQ(technology.substr(technology.size() - 3), std::string(3, '\0'));
  EXPECT_EQ(Plan().LastArgument("Repository.InstallPerspective"), Resource("PERSPECTIVE", 102));
  EXPECT_TRUE(host_->HasTechnology("SysML"));
}

TEST_F(AddinTest, AboutKeepsTheRepositoryOnlyWhileShown) {
  Connect();
  platform_.ui->ExpectDialog([this](platform::Dialog& dialog) {
    auto& about = dynamic_cast<ui::AboutDialog&>(dialog);
    EXPECT_EQ(about.Repository(), host_);
    EXPECT_EQ(about.Get("lblVersion").caption, "Version 1.0");
    dialog.Click("cmdOK");
    EXPECT_EQ(about.Repository(), nullptr);
  });
  const long uses_before = host_.use_count();
  addin_.Orba_MenuClick(host_, "", "-&SysML Technology", "&About");
  EXPECT_EQ(host_.use_count(), uses_before);
  EXPECT_THAT(Plan().Calls(), testing::IsEmpty());
}

// Both texts arrive by reference and come back as text; the second holds the
// document, or stays untouched while the add-in is disabled.
TEST_F(AddinTest, AllocationSearchDeliversTheDocumentInItsSecondTextWhateverTheFirst) {
  std::vector<Variant> arguments = {Variant(host_), int32_t{5}, "untouched"};
  ASSERT_TRUE(automation::Call(addin_, "AllocationSearch", arguments).ok);
  EXPECT_EQ(arguments[2], Variant("untouched"));
  Connect();
  const automation::CallResult result = automation::Call(addin_, "AllocationSearch", arguments);
  EXPECT_EQ(result.value, Variant(std::string()));
  EXPECT_EQ(arguments[1], Variant("5"));
  EXPECT_EQ(arguments[2], Variant(search::AllocationSearchDocument(*model_.Repository())));
}

class NewElementTest : public AddinTest {
 protected:
  NewElementTest()
      : AddinTest(R"({"packages": [{"key": "root", "name": "Model"}], "elements": [{"key": "v",
          "package": "root", "type": "Class", "name": "V", "metatype": "Viewpoint"}]})") {}
  // The new-element event's arguments as the host hands them: Item(0) holds the id.
  bool NewElement(const Variant& id) {
    return addin_.Orba_OnPostNewElement(
        host_,
        host_->Wrap(std::make_shared<orba::store::EventArgumentList>(std::vector<Variant>{id})));
  }
};

// The id may come as any value that converts to a whole number.
TEST_F(NewElementTest, TheElementIdIsConvertedFromTheArgumentsValueOrTheEventFails) {
  const int32_t id = model_.ElementId("v");
  EXPECT_FALSE(NewElement(id));  // disabled
  EXPECT_THAT(Plan().Calls(), testing::IsEmpty());
  Connect();
  Plan().FailOn("Repository.GetElementByID");
  EXPECT_THROW(NewElement(id), host::Error);
  EXPECT_EQ(model_.Element("v")->Abstract(), "0");
  Plan().Answer("Element.Update", "False");  // what Update answers does not matter
  for (const Variant& value : {Variant(std::to_string(id)), Variant(double(id) + 0.4),
                               Variant(static_cast<int16_t>(id))}) {
    SCOPED_TRACE(value.ToString());
    EXPECT_TRUE(NewElement(value));
    EXPECT_EQ(Plan().LastArgument("Repository.GetElementByID"), std::to_string(id));
  }
  EXPECT_THROW(NewElement(int32_t{999999}), automation::Error);
  Plan().ClearCalls();
  EXPECT_THROW(NewElement("not an id"), automation::TypeMismatch);
  EXPECT_EQ(Plan().CountOf("Repository.GetElementByID"), 0);
}

}  // namespace
}  // namespace addin
