// TestModel, the in-memory model of the add-in's unit tests. Its reports are
// checked by every rule case (tests/rules).
#include "support/test_model.h"

#include <gtest/gtest.h>

#include "orba/store/json_model.h"

namespace testing_support {
namespace {

TEST(TestModel, ResolvesKeysToItemsAndRefusesUnknownKeysAndBadDocuments) {
  TestModel model(R"json({"technologies": ["SysML"], "packages": [{"key": "root", "name": "Model"}],
    "elements": [{"key": "car", "package": "root", "type": "Class", "name": "Car", "guid": "{CAR}"},
                 {"key": "bus", "package": "root", "type": "Class", "name": "Bus"}],
    "connectors": [{"key": "link", "type": "Association", "client": "car", "supplier": "bus"}]})json",
                  900);
  EXPECT_EQ(model.Repository()->BuildNumber(), 900);
  EXPECT_EQ(model.Element("car")->Name(), "Car");
  EXPECT_EQ(model.ElementGuid("car"), "{CAR}");
  EXPECT_EQ(model.Element("bus")->ElementID(), model.ElementId("bus"));
  EXPECT_EQ(model.Package("root")->PackageID(), model.PackageId("root"));
  EXPECT_EQ(model.Connector("link")->ClientID(), model.ElementId("car"));
  EXPECT_EQ(model.ConnectorId("link"), model.Connector("link")->ConnectorID());
  EXPECT_FALSE(model.Repository()->HasTechnology("SysML"));
  EXPECT_THROW(model.ElementId("nothing"), std::invalid_argument);
  EXPECT_THROW(model.PackageId("car"), std::invalid_argument);
  EXPECT_THROW(TestModel(R"({"elements": [{"key": "x"}]})"), orba::store::ImportError);
}

}  // namespace
}  // namespace testing_support
