// The index of a document's keys: every key added is found with its value,
// a key is added once, and nothing else is found, also after the index grows.
#include "orba/store/key_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orba::store {
namespace {

TEST(KeyIndexTest, FindsEachKeyAddedOnceAcrossGrowth) {
  KeyIndex<int> index;
  EXPECT_EQ(index.Find("a"), nullptr);
  std::vector<std::string> keys;
  for (int n = 0; n < 5000; ++n) keys.push_back("k" + std::to_string(n));
  for (int n = 0; n < 5000; ++n) EXPECT_TRUE(index.Add(keys[static_cast<size_t>(n)], n));
  EXPECT_FALSE(index.Add("k17", -1));
  EXPECT_FALSE(index.Add(index.Keep("k4999"), -1));
  EXPECT_TRUE(index.Add(index.Keep(std::string("built") + "\n"), 5000));
  EXPECT_TRUE(index.Add("", 5001));

  for (int n = 0; n < 5000; ++n) {
    const int* found = index.Find(keys[static_cast<size_t>(n)]);
    ASSERT_NE(found, nullptr) << n;
    EXPECT_EQ(*found, n);
  }
  EXPECT_EQ(*index.Find("built\n"), 5000);
  EXPECT_EQ(*index.Find(""), 5001);
  EXPECT_EQ(index.Find("k5000"), nullptr);
  EXPECT_EQ(index.Find("k"), nullptr);

  std::vector<int> order;
  index.ForEach([&](std::string_view key, int value) {
    if (value < 5000) {
      EXPECT_EQ(key, keys[static_cast<size_t>(value)]);
    }
    order.push_back(value);
  });
  ASSERT_EQ(order.size(), 5002u);
  for (size_t at = 0; at < order.size(); ++at) EXPECT_EQ(order[at], static_cast<int>(at));
}

}  // namespace
}  // namespace orba::store
