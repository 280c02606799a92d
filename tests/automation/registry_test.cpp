#include "automation/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "automation/dispatch.h"
#include "support/temp_folder.h"

namespace automation {
namespace {

std::filesystem::path BuiltModule() {
  const char* bin = std::getenv("TESSARY_BUILD_BIN");
  return std::filesystem::path(bin ? bin : ".") / "libtessary.so";
}

TEST(RegistryTest, RegistersTheBuiltModuleAndCreatesItsObjectByProgID) {
  testing_support::TempFolder folder;
  Registry registry(folder.path() / "components.ini");
  EXPECT_EQ(registry.RegisterModule(BuiltModule()), std::vector<std::string>{"Tessary.CTessary"});
  EXPECT_EQ(registry.ModuleFor("Tessary.CTessary"), std::filesystem::absolute(BuiltModule()));

  ObjectPtr addin = registry.CreateObject("Tessary.CTessary");
  ASSERT_NE(addin, nullptr);
  // Reached by name: the menu heading needs no host call.
  std::vector<Variant> args = {Variant(ObjectPtr()), Variant(""), Variant("")};
  CallResult heading = Call(*addin, "Orba_GetMenuItems", args);
  ASSERT_TRUE(heading.ok) << heading.error;
  EXPECT_EQ(heading.value.String(), "-&SysML Technology");
}

TEST(RegistryTest, RegisteringAgainKeepsOtherEntries) {
  testing_support::TempFolder folder;
  const auto file = folder.path() / "components.ini";
  std::ofstream(file) << "[Components]\nOther.Thing=/opt/other.so\n";
  Registry registry(file);
  registry.RegisterModule(BuiltModule());
  EXPECT_EQ(registry.Entries().size(), 2u);
  EXPECT_EQ(registry.ModuleFor("Other.Thing"), "/opt/other.so");
}

TEST(RegistryTest, UnregisteredProgIDIsAClearError) {
  testing_support::TempFolder folder;
  Registry registry(folder.path() / "components.ini");
  try {
    registry.CreateObject("Tessary.CTessary");
    FAIL() << "expected an error";
  } catch (const Error& error) {
    EXPECT_NE(std::string(error.what()).find("no component is registered as Tessary.CTessary"),
              std::string::npos);
  }
}

TEST(RegistryTest, AFileThatIsNotAModuleIsRefused) {
  testing_support::TempFolder folder;
  const auto bogus = folder.path() / "bogus.so";
  std::ofstream(bogus) << "not a shared object";
  Registry registry(folder.path() / "components.ini");
  EXPECT_THROW(registry.RegisterModule(bogus), Error);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "components.ini"));
}

TEST(RegistryTest, TheModuleServesOnlyItsOwnProgID) {
  EXPECT_THROW(CreateObjectFromModule(BuiltModule(), "Tessary.Other"), Error);
}

TEST(RegistryTest, ALibraryWithoutTheFactoryIsNotAComponent) {
  const char* bin = std::getenv("TESSARY_BUILD_BIN");
  const auto library = std::filesystem::path(bin ? bin : ".") / "liborba_automation.so";
  EXPECT_THROW(ModuleProgIDs(library), Error);
}

TEST(RegistryTest, AMalformedRegistryLineIsReportedWithItsNumber) {
  testing_support::TempFolder folder;
  const auto file = folder.path() / "components.ini";
  std::ofstream(file) << "[Components]\nno equals sign here\n";
  try {
    Registry(file).ModuleFor("X");
    FAIL() << "expected an error";
  } catch (const Error& error) {
    EXPECT_NE(std::string(error.what()).find("line 2"), std::string::npos);
  }
}

}  // namespace
}  // namespace automation
