#include "automation/variant.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

namespace automation {
namespace {

using testing::ThrowsMessage;
using Type = Variant::Type;

TEST(VariantTest, HoldsEachTypeAndGivesItBackOnlyAsThatType) {
  // clang-format off
  const std::pair<Variant, Type> cases[] = {
      {Variant(), Type::kEmpty}, {Variant(true), Type::kBoolean}, {Variant(2.5), Type::kDouble},
      {Variant(int16_t{3}), Type::kInt16}, {Variant(int32_t{3}), Type::kInt32},
      {Variant("text"), Type::kString}, {Variant(std::vector<Variant>{}), Type::kArray},
      {Variant(ObjectPtr()), Type::kObject}};
  // clang-format on
  for (const auto& [value, type] : cases) EXPECT_EQ(value.type(), type) << value.TypeName();
  EXPECT_EQ(Variant(int32_t{3}).TypeName(), "Long");
  const Variant array(std::vector<Variant>{Variant("a"), Variant("-"), Variant(true)});
  ASSERT_EQ(array.Array().size(), 3u);
  EXPECT_EQ(array.Array()[0].String(), "a");
  EXPECT_EQ(array.Array()[2].ToString(), "True");
  EXPECT_THROW(Variant(int32_t{1}).String(), TypeMismatch);
  EXPECT_THROW(Variant("x").Array(), TypeMismatch);
  EXPECT_THROW(Variant().Object(), TypeMismatch);
}

// Whole numbers as the scripting runtime makes them: halves round to even,
// "&H" is hexadecimal, True is -1.
TEST(VariantTest, ConvertsToWholeNumbers) {
  const std::pair<Variant, int32_t> cases[] = {
      {Variant("797"), 797},
      {Variant(" -1 "), -1},
      {Variant("2.5"), 2},
      {Variant("3.5"), 4},
      {Variant(-2.5), -2},
      {Variant("&H1F"), 31},
      {Variant(true), -1},
      {Variant(), 0},
      {Variant("1e3"), 1000},
      {Variant(int16_t{-7}), -7},
      {Variant("2147483647"), std::numeric_limits<int32_t>::max()},
  };
  for (const auto& [value, expected] : cases)
    EXPECT_EQ(value.ToInt32(), expected) << value.ToString();
  for (const char* text : {"", "abc", "1x", "0x10", "inf", "nan", "1,5"}) {
    EXPECT_THROW(Variant(text).ToInt32(), TypeMismatch) << text;
  }
  EXPECT_THROW(Variant(std::vector<Variant>{}).ToInt32(), TypeMismatch);
  EXPECT_EQ(Variant("-32768").ToInt16(), -32768);
  EXPECT_THROW(Variant("32768").ToInt16(), Overflow);
  EXPECT_THROW(Variant(3e9).ToInt32(), Overflow);
}

// A stored option may hold any text: the message names it, cut short, and
// never a number the text does not hold ("inf").
TEST(VariantTest, ATextThatIsNoNumberIsNamedShortly) {
  EXPECT_THAT([] { Variant(std::string(100000, '9')).ToInt32(); },
              ThrowsMessage<Overflow>("\"" + std::string(40, '9') +
                                      "...\" (100000 bytes) is too large for a number"));
  EXPECT_THAT([] { Variant(std::string(39, 'x') + "\xC3\xA4" + std::string(50, 'x')).ToInt32(); },
              ThrowsMessage<TypeMismatch>("\"" + std::string(39, 'x') +
                                          "...\" (91 bytes) is not a number"));
}

TEST(VariantTest, ConvertsToBooleansAndTexts) {
  for (const auto& [text, value] :
       {std::pair{"0", false}, {"1", true}, {"2", true}, {"TRUE", true}, {"false", false}}) {
    EXPECT_EQ(Variant(text).ToBool(), value) << text;
  }
  EXPECT_THROW(Variant("yes").ToBool(), TypeMismatch);
  const std::pair<Variant, std::string> texts[] = {
      {Variant(true), "True"}, {Variant(false), "False"}, {Variant(int32_t{-12}), "-12"},
      {Variant(1.5), "1.5"},   {Variant(4.0), "4"},       {Variant(), ""}};
  for (const auto& [value, text] : texts) {
    EXPECT_EQ(value.ToString(), text);
    EXPECT_EQ(Variant(value).ToString(), text);  // given up: the same text
  }
  EXPECT_THROW(Variant(ObjectPtr()).ToString(), TypeMismatch);
  Variant text("a text longer than any short-string buffer");
  EXPECT_EQ(std::move(text).ToString(), "a text longer than any short-string buffer");
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
