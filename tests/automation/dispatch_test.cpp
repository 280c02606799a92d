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
    AddMethod("Fail", 0, [](std::span<Variant>) -> Variant { throw std::runtime_error("disk on fire"); });
    AddMethod("Throw42", 0, [](std::span<Variant>) -> Variant { throw 42; });
    AddProperty("Label", [this] { return Variant(label); },
                [this](const Variant& value) { label = value.ToString(); });
    AddProperty("Calls", [this] { return Variant(calls); }, nullptr);
  }
  std::string label;
  int32_t calls = 0;
};

TEST(DispatchTest, OperationWritesIntoItsByReferenceArgument) {
  Searcher searcher;
  std::vector<Variant> args = {Variant("wheel"), Variant("")};
  CallResult result = Call(searcher, "Search", args);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.value.String(), "");
  EXPECT_EQ(args[1].String(), "<result for wheel>");
}

TEST(DispatchTest, UnknownNameIsAClearError) {
  Searcher searcher;
  CallResult result = Call(searcher, "Serch", {});
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("no operation named \"Serch\""), std::string::npos);
  EXPECT_FALSE(GetProperty(searcher, "label").ok);  // names are case-sensitive
}

TEST(DispatchTest, WrongArgumentCountIsAnErrorAndRunsNothing) {
  Searcher searcher;
  std::vector<Variant> args = {Variant("wheel")};
  CallResult result = Call(searcher, "Search", args);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, "Search takes 2 argument(s), 1 given");
  EXPECT_EQ(searcher.calls, 0);
}

TEST(DispatchTest, ExceptionsBecomeTheCallsErrorResult) {
  Searcher searcher;
  CallResult failed = Call(searcher, "Fail", {});
  EXPECT_FALSE(failed.ok);
  EXPECT_EQ(failed.error, "disk on fire");
  CallResult odd = Call(searcher, "Throw42", {});
  EXPECT_FALSE(odd.ok);
  EXPECT_EQ(odd.error, "unknown error");
}

TEST(DispatchTest, PropertiesReadAndWriteByName) {
  Searcher searcher;
  ASSERT_TRUE(PutProperty(searcher, "Label", Variant("parts")).ok);
  EXPECT_EQ(GetProperty(searcher, "Label").value.String(), "parts");
  CallResult read_only = PutProperty(searcher, "Calls", Variant(int32_t{3}));
  EXPECT_FALSE(read_only.ok);
  EXPECT_EQ(read_only.error, "the property Calls is read-only");
}

TEST(DispatchTest, MethodNamesKeepInterfaceOrder) {
  Searcher searcher;
  EXPECT_EQ(searcher.MethodNames(), (std::vector<std::string>{"Search", "Fail", "Throw42"}));
}

}  // namespace
}  // namespace automation
