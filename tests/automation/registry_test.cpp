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

// Registering, and creating objects, is refused for what is no component
// module; the command line's transcripts hold the messages a user sees.
TEST_F(RegistryTest, WhatIsNoComponentModuleOrRegistryIsAClearError) {
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
        EXPECT_EQ(Registry(file_).ModuleFor("Other.Thing"), "/opt/other.so");
        std::ofstream(file_) << before;
      });
  EXPECT_THAT(messages, Each(MatchesRegex("cannot (create|lock|read|write) component registry "
                                          "(folder )?.*: Input/output error")));
  EXPECT_GE(messages.size(), 10u);
}

}  // namespace
}  // namespace automation
