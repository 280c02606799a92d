#include "orba/store/host_services_objects.h"

#include <gtest/gtest.h>

#include "host/error.h"

namespace orba::store {
namespace {

TEST(EventArgumentList, ItemsHoldTheirValuesAndAnIndexOutOfRangeFails) {
  EventArgumentList arguments({automation::Variant(int32_t{42}), automation::Variant("text")});
  EXPECT_EQ(arguments.Item(0)->Value().ToInt32(), 42);
  EXPECT_EQ(arguments.Item(1)->Value().ToString(), "text");
  EXPECT_THROW(arguments.Item(2), host::Error);
  EXPECT_THROW(arguments.Item(-1), host::Error);
  EXPECT_THROW(EventArgumentList({}).Item(0), host::Error);
}

TEST(StoredProjectServices, IdsAreUniqueAndReportsAreRecordedInOrder) {
  auto log = std::make_shared<ValidationLog>();
  StoredProjectServices services(log);
  std::string first_category = services.RegisterRuleCategory("SysML");
  std::string second_category = services.RegisterRuleCategory("Other");
  EXPECT_NE(first_category, second_category);
  std::string rule = services.RegisterRule(second_category, 2, "Rule text");
  EXPECT_EQ(log->CategoryOfRule(rule)->name, "Other");
  EXPECT_EQ(log->CategoryOfRule("unknown"), nullptr);

  log->SetCurrentItem(ItemRef{ItemKind::kConnector, "{C}", "c", "Association"});
  services.ReportViolation(rule, 2, "one");
  services.ReportViolation(rule, 2, "two");
  std::vector<RecordedViolation> taken = log->TakeViolations();
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0].message, "one");
  EXPECT_EQ(taken[1].item.kind, ItemKind::kConnector);
  EXPECT_TRUE(log->Violations().empty());
  EXPECT_EQ(log->Rules().size(), 1u);
}

TEST(ItemKindName, NamesEachKind) {
  EXPECT_STREQ(ItemKindName(ItemKind::kElement), "element");
  EXPECT_STREQ(ItemKindName(ItemKind::kPackage), "package");
  EXPECT_STREQ(ItemKindName(ItemKind::kConnector), "connector");
  EXPECT_STREQ(ItemKindName(ItemKind::kOperation), "operation");
}

}  // namespace
}  // namespace orba::store
