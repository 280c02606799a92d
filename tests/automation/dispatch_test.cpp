#include "automation/dispatch.h"

#include <gtest/gtest.h>

namespace automation {
namespace {

// A small late-bound object: Search writes its answer into its second argument.
class Searcher : public DispatchObject {
 public:
  Searcher() {
    AddMethod("Search", 2, [this](std::span<Variant> args) {
      ++calls;
      args[1] = "<result for " + args[0].ToString() + ">";
      return Variant("");
    });
    AddMethod("Fail", 0,
              [](std::span<Variant>) -> Variant { throw std::runtime_error("disk on fire"); });
    AddMethod("Throw42", 0, [](std::span<Variant>) -> Variant { throw 42; });
    AddProperty(
        "Label", [this] { return Variant(label); },
        [this](const Variant& value) { label = value.ToString(); });
    AddProperty(
        "Calls", [this] { return Variant(calls); }, nullptr);
  }
  std::string label;
  int32_t calls = 0;
};

TEST(DispatchTest, OperationsAreCalledByNameAndWriteIntoByReferenceArguments) {
  Searcher searcher;
  std::vector<Variant> args = {Variant("wheel"), Variant("")};
  CallResult result = Call(searcher, "Search", args);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.value.String(), "");
  EXPECT_EQ(args[1].String(), "<result for wheel>");
  ASSERT_TRUE(PutProperty(searcher, "Label", Variant("parts")).ok);
  EXPECT_EQ(GetProperty(searcher, "Label").value.String(), "parts");
}

// Every failure is the call's result with its message; none runs the operation.
TEST(DispatchTest, FailedCallsAreErrorResults) {
  Searcher searcher;
  std::vector<Variant> one_argument = {Variant("wheel")};
  const std::pair<CallResult, std::string> cases[] = {
      {Call(searcher, "Serch", {}), "the object has no operation named \"Serch\""},
      {Call(searcher, "Search", one_argument), "Search takes 2 argument(s), 1 given"},
      {Call(searcher, "Fail", {}), "disk on fire"},
      {Call(searcher, "Throw42", {}), "unknown error"},
      {PutProperty(searcher, "Calls", Variant(int32_t{3})), "the property Calls is read-only"},
      {GetProperty(searcher, "label"),
       "the object has no property named \"label\""},  // names are case-sensitive
  };
  for (const auto& [result, message] : cases) {
    EXPECT_FALSE(result.ok) << message;
    EXPECT_EQ(result.error, message);
  }
  EXPECT_EQ(searcher.calls, 0);
}

}  // namespace
}  // namespace automation
