#include "automation/registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "automation/dispatch.h"
#include "support/failing_file_system.h"
#include "support/temp_folder.h"

namespace automation {
namespace {

using testing::Each;
using testing::HasSubstr;
using testing::MatchesRegex;
using testing::ThrowsMessage;

std::filesystem::path Built(const char* file) {
  const char* bin = std::getenv("TESSARY_BUILD_BIN");
  return std::filesystem::path(bin ? bin : ".") / file;
}

class RegistryTest : public testing::Test {
 protected:
  testing_support::TempFolder folder_;
  std::filesystem::path file_ = folder_.path() / "components.ini";
};

TEST_F(RegistryTest, RegistersTheBuiltModuleBesideOtherEntriesAndCreatesItsObjectByProgID) {
  std::ofstream(file_) << "[Components]\nOther.Thing=/opt/other.so\n";
  Registry registry(file_);
  EXPECT_EQ(registry.RegisterModule(Built("libtessary.so")),
            std::vector<std::string>{"Tessary.CTessary"});
  EXPECT_EQ(registry.ModuleFor("Tessary.CTessary"),
            std::filesystem::absolute(Built("libtessary.so")));
  EXPECT_EQ(Registry(file_).ModuleFor("Other.Thing"), "/opt/other.so");

  ObjectPtr addin = registry.CreateObject("Tessary.CTessary");
  ASSERT_NE(addin, nullptr);
  // Reached by name: the menu heading needs no host call.
  std::vector<Variant> args = {Variant(ObjectPtr()), Variant(""), Variant("")};
  CallResult heading = Call(*addin, "Orba_GetMenuItems", args);
  ASSERT_TRUE(heading.ok) << heading.error;
  EXPECT_EQ(heading.value.String(), "-&SysML Technology");
}

TEST_F(RegistryTest, WhatIsNoRegisteredComponentIsAClearError) {
  Registry registry(file_);
  EXPECT_THAT([&] { registry.CreateObject("Tessary.CTessary"); },
              ThrowsMessage<Error>(HasSubstr("no component is registered as Tessary.CTessary")));
  std::ofstream(folder_.path() / "bogus.so") << "not a shared object";
  EXPECT_THROW(registry.RegisterModule(folder_.path() / "bogus.so"), Error);
  EXPECT_FALSE(std::filesystem::exists(file_));
  EXPECT_THROW(CreateObjectFromModule(Built("libtessary.so"), "Tessary.Other"), Error);
  EXPECT_THROW(ModuleProgIDs(Built("liborba_automation.so")), Error)
      << "a library without the factory";
  EXPECT_THAT([] { CreateObjectFromModule(Built("liborba_automation.so"), "X"); },
              ThrowsMessage<Error>(HasSubstr("does not export OrbaCreateObject")));
  // A module without the options factory is created by its plain one.
  const ObjectPtr plain =
      CreateObjectFromModule(Built("libplain_factory_module.so"), "Test.Plain", {"none"});
  EXPECT_EQ(GetProperty(*plain, "Kind").value.String(), "plain");
  EXPECT_THROW(CreateObjectFromModule(Built("libplain_factory_module.so"), "Test.Other"), Error);
  std::ofstream(file_) << "[Components]\nno equals sign here\n";
  EXPECT_THAT([&] { Registry(file_).ModuleFor("X"); },
              ThrowsMessage<Error>("component registry " + file_.string() +
                                   ", line 2: expected Key=Value, found \"no equals sign here\""));
}

// Each file call of a registration failing in turn: the failure is reported
// and leaves the registry as it was.
TEST_F(RegistryTest, ARegistrationIsWholeOrAbsentWhicheverCallFails) {
  const std::string before = "; kept\n[Components]\nOther.Thing=/opt/other.so\n";
  std::ofstream(file_) << before;
  testing_support::FailingFileSystem fs;
  Registry registry(file_, fs);
  const auto messages = testing_support::FailEachCallInTurn<Error>(
      fs, [&] { registry.RegisterModule(Built("libtessary.so")); },
      [&](const std::string& failure) {
        EXPECT_EQ(Registry(file_).ModuleFor("Tessary.CTessary").empty(), !failure.empty())
            << failure;
        std::ofstream(file_) << before;
      });
  EXPECT_THAT(messages, Each(MatchesRegex("cannot (create|lock|read|write) component registry "
                                          "(folder )?.*: Input/output error")));
  EXPECT_GE(messages.size(), 10u);
}

}  // namespace
}  // namespace automation
