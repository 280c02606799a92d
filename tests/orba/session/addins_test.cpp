#include "orba/session/addins.h"

#include <gtest/gtest.h>

namespace orba::session {
namespace {

TEST(AddinListTest, TheSysMLAddinIsCreatedFromItsProgID) {
  ASSERT_EQ(DefaultAddins().size(), 1u);
  EXPECT_EQ(DefaultAddins()[0].name, "SysML");
  EXPECT_EQ(DefaultAddins()[0].prog_id, "Tessary.CTessary");
}

TEST(AddinListTest, TheSysMLTechnologyIsLoadedThroughTheLoadItemOfTheSysMLMenu) {
  const TechnologyProvider* provider = FindTechnologyProvider("SysML");
  ASSERT_NE(provider, nullptr);
  EXPECT_EQ(provider->addin_name, "SysML");
  EXPECT_EQ(provider->menu_name, "-&SysML Technology");
  EXPECT_EQ(provider->item_name, "&Load SysML Technology");
}

TEST(AddinListTest, TechnologiesNoAddinProvidesAreNotFound) {
  EXPECT_EQ(FindTechnologyProvider("sysml"), nullptr);
  EXPECT_EQ(FindTechnologyProvider("BPMN"), nullptr);
  EXPECT_EQ(FindTechnologyProvider(""), nullptr);
}

TEST(AddinListTest, AFailedCallNamesTheAddinTheOperationAndTheError) {
  EXPECT_EQ(AddinFailure("SysML", "Orba_MenuClick", "no model is open"),
            "add-in SysML: Orba_MenuClick failed: no model is open");
}

}  // namespace
}  // namespace orba::session
