#include "automation/variant.h"

#include <gtest/gtest.h>

#include <limits>

namespace automation {
namespace {

TEST(VariantTest, HoldsEachTypeAndNamesIt) {
  EXPECT_EQ(Variant().type(), Variant::Type::kEmpty);
  EXPECT_EQ(Variant(true).type(), Variant::Type::kBoolean);
  EXPECT_EQ(Variant(int16_t{3}).type(), Variant::Type::kInt16);
  EXPECT_EQ(Variant(int32_t{3}).type(), Variant::Type::kInt32);
  EXPECT_EQ(Variant(2.5).type(), Variant::Type::kDouble);
  EXPECT_EQ(Variant("text").type(), Variant::Type::kString);
  EXPECT_EQ(Variant(std::vector<Variant>{}).type(), Variant::Type::kArray);
  EXPECT_EQ(Variant(ObjectPtr()).type(), Variant::Type::kObject);
  EXPECT_EQ(Variant(int32_t{3}).TypeName(), "Long");
}

TEST(VariantTest, ArrayKeepsItsItemsFromIndexZero) {
  Variant array(std::vector<Variant>{Variant("a"), Variant("-"), Variant(true)});
  ASSERT_EQ(array.Array().size(), 3u);
  EXPECT_EQ(array.Array()[0].String(), "a");
  EXPECT_EQ(array.Array()[2].ToString(), "True");
}

TEST(VariantTest, StrictAccessorsRefuseOtherTypes) {
  EXPECT_THROW(Variant(int32_t{1}).String(), TypeMismatch);
  EXPECT_THROW(Variant("x").Array(), TypeMismatch);
  EXPECT_THROW(Variant().Object(), TypeMismatch);
}

struct WholeNumberCase {
  Variant value;
  int32_t expected;
};

class ToInt32Test : public testing::TestWithParam<WholeNumberCase> {};

TEST_P(ToInt32Test, ConvertsAsTheRuntimeDoes) { EXPECT_EQ(GetParam().value.ToInt32(), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Conversions, ToInt32Test,
    testing::Values(WholeNumberCase{Variant("797"), 797}, WholeNumberCase{Variant(" -1 "), -1},
                    WholeNumberCase{Variant("2.5"), 2},   // half to even
                    WholeNumberCase{Variant("3.5"), 4}, WholeNumberCase{Variant(-2.5), -2},
                    WholeNumberCase{Variant("&H1F"), 31}, WholeNumberCase{Variant(true), -1},
                    WholeNumberCase{Variant(), 0}, WholeNumberCase{Variant("1e3"), 1000},
                    WholeNumberCase{Variant(int16_t{-7}), -7}));

TEST(VariantTest, NonNumbersAreTypeMismatches) {
  for (const char* text : {"", "abc", "1x", "0x10", "inf", "nan", "1,5"}) {
    EXPECT_THROW(Variant(text).ToInt32(), TypeMismatch) << text;
  }
  EXPECT_THROW(Variant(std::vector<Variant>{}).ToInt32(), TypeMismatch);
}

TEST(VariantTest, WholeNumbersOutOfRangeOverflow) {
  EXPECT_THROW(Variant("32768").ToInt16(), Overflow);
  EXPECT_EQ(Variant("-32768").ToInt16(), -32768);
  EXPECT_THROW(Variant(3e9).ToInt32(), Overflow);
  EXPECT_EQ(Variant("2147483647").ToInt32(), std::numeric_limits<int32_t>::max());
}

// A stored option may hold any text: the message names it, cut short, and
// never a number the text does not hold ("inf").
TEST(VariantTest, ATextTooLargeForANumberIsNamedShortly) {
  try {
    Variant(std::string(100000, '9')).ToInt32();
    FAIL() << "expected an overflow";
  } catch (const Overflow& error) {
    EXPECT_EQ(std::string(error.what()),
              "\"" + std::string(40, '9') + "...\" (100000 bytes) is too large for a number");
  }
  try {
    Variant(std::string(39, 'x') + "\xC3\xA4" + std::string(50, 'x')).ToInt32();
    FAIL() << "expected a mismatch";
  } catch (const TypeMismatch& error) {
    EXPECT_EQ(std::string(error.what()),
              "\"" + std::string(39, 'x') + "...\" (91 bytes) is not a number");
  }
}

TEST(VariantTest, BooleansFromNumbersAndWords) {
  EXPECT_FALSE(Variant("0").ToBool());
  EXPECT_TRUE(Variant("1").ToBool());
  EXPECT_TRUE(Variant("2").ToBool());
  EXPECT_TRUE(Variant("TRUE").ToBool());
  EXPECT_FALSE(Variant("false").ToBool());
  EXPECT_THROW(Variant("yes").ToBool(), TypeMismatch);
}

TEST(VariantTest, TextsOfValues) {
  EXPECT_EQ(Variant(true).ToString(), "True");
  EXPECT_EQ(Variant(false).ToString(), "False");
  EXPECT_EQ(Variant(int32_t{-12}).ToString(), "-12");
  EXPECT_EQ(Variant(1.5).ToString(), "1.5");
  EXPECT_EQ(Variant(4.0).ToString(), "4");
  EXPECT_EQ(Variant().ToString(), "");
  EXPECT_THROW(Variant(ObjectPtr()).ToString(), TypeMismatch);
}

class Thing : public Object {};
class OtherThing : public Object {};

TEST(VariantTest, ObjectReferencesCastToTheirInterface) {
  auto thing = std::make_shared<Thing>();
  Variant reference(thing);
  EXPECT_EQ(reference.As<Thing>(), thing);
  EXPECT_EQ(Variant(ObjectPtr()).As<Thing>(), nullptr);  // "nothing"
  EXPECT_THROW(reference.As<OtherThing>(), TypeMismatch);
  EXPECT_THROW(Variant("x").As<Thing>(), TypeMismatch);
}

}  // namespace
}  // namespace automation
