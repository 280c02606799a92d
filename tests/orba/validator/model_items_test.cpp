#include "orba/validator/model_items.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orba/store/model_session.h"
#include "orba/store/store_error.h"
#include "orba/validator/validator_fixtures.h"

namespace orba::validator {
namespace {

using automation::Variant;
using ::testing::ElementsAre;

class ModelItemsTest : public ::testing::Test {
 protected:
  store::ModelRepositoryPtr repository_ = testing::ImportedModel();
  std::vector<ValidationItem> items_ = CollectValidationItems(*repository_);
};

TEST_F(ModelItemsTest, ElementsThenPackagesThenConnectorsThenOperationsEachById) {
  std::vector<std::string> order;
  for (const ValidationItem& item : items_) {
    order.push_back(std::string(store::ItemKindName(item.ref.kind)) + " " + item.ref.name + " " +
                    item.event);
  }
  EXPECT_THAT(
      order,
      ElementsAre("element Car Orba_OnRunElementRule", "element badEngine Orba_OnRunElementRule",
                  "element boom Orba_OnRunElementRule", "package Model Orba_OnRunPackageRule",
                  "package badViews Orba_OnRunPackageRule", "connector  Orba_OnRunConnectorRule",
                  "operation badRun Orba_OnRunMethodRule", "operation stop Orba_OnRunMethodRule"));
}

// An id wider than 32 bits (written by something other than a host) would
// come back cut down and name another item, or none.
TEST_F(ModelItemsTest, AnIdWiderThan32BitsIsADamagedModel) {
  repository_->Session().Db().Execute(
      "UPDATE t_object SET Object_ID = 4294967296 + Object_ID WHERE Name = 'Car'");
  try {
    CollectValidationItems(*repository_);
    ADD_FAILURE() << "the damaged model was validated";
  } catch (const store::StoreError& error) {
    EXPECT_THAT(error.what(), ::testing::StartsWith("model file is damaged: "));
    EXPECT_THAT(error.what(), ::testing::HasSubstr("does not fit in 32 bits"));
  }
}

TEST_F(ModelItemsTest, AnElementIsPassedAsItsObject) {
  const ValidationItem& car = items_.at(0);
  ASSERT_EQ(car.subject.size(), 1u);
  const host::ElementPtr element = car.subject[0].As<host::Element>();
  EXPECT_EQ(element->Name(), "Car");
  EXPECT_EQ(car.ref.guid, element->ElementGUID());
  EXPECT_EQ(car.ref.type, "Class");
}

TEST_F(ModelItemsTest, PackagesAndConnectorsArePassedByIdAPackageNamedByItsElementsGuid) {
  const ValidationItem& views = items_.at(4);
  const ValidationItem& link = items_.at(5);
  EXPECT_EQ(views.subject.size(), 1u);
  EXPECT_EQ(link.subject.size(), 1u);
  const host::PackagePtr package = repository_->GetPackageByID(views.subject.at(0).ToInt32());
  const host::ConnectorPtr connector = repository_->GetConnectorByID(link.subject.at(0).ToInt32());
  ASSERT_TRUE(package && connector);
  EXPECT_EQ(views.ref, (store::ItemRef{store::ItemKind::kPackage, package->Element()->ElementGUID(),
                                       "badViews", "Package"}));
  EXPECT_EQ(link.ref, (store::ItemRef{store::ItemKind::kConnector, connector->ConnectorGUID(), "",
                                      "Association"}));
}

TEST_F(ModelItemsTest, AnOperationIsPassedByGuidWithItsOwnersId) {
  const ValidationItem& run = items_.at(6);
  const host::ElementPtr engine = items_.at(1).subject[0].As<host::Element>();
  const host::MethodPtr method = engine->Methods()->Items().at(0);
  EXPECT_THAT(run.subject,
              ElementsAre(Variant(method->MethodGUID()), Variant(engine->ElementID())));
  EXPECT_EQ(run.ref.guid, method->MethodGUID());
  EXPECT_EQ(run.ref.type, "Operation");
}

TEST(ModelItemsEmptyTest, AnEmptyModelHasNoItems) {
  auto repository = std::make_shared<store::ModelRepository>();
  repository->CreateInMemoryModel();
  EXPECT_TRUE(CollectValidationItems(*repository).empty());
}

}  // namespace
}  // namespace orba::validator
