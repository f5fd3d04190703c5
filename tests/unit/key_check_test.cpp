// The key-name checks run before a compile.
#include "pool/key_check.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kovan {
namespace {

struct KeyCase {
  const char* name;
  std::vector<std::vector<std::string>> entries;
  std::string missing;  // KeyProblemList(1)
  std::string shared;   // KeyProblemList(2)
};

ResourcePool PoolOf(const std::vector<std::vector<std::string>>& entries) {
  ResourcePool pool;
  for (const auto& fields : entries) pool.AppendFields(fields);
  return pool;
}

TEST(KeyProblemList, ListsUnnamedAndSharedKeys) {
  const std::vector<KeyCase> cases = {
      {"every key unnamed",
       {{"?", "ico", "C:\\i\\a.ico"}, {"?", "ico", "C:\\i\\b.ico"}, {"?", "png", "D:c.png"}},
       "a.ico\rb.ico\rc.png\r",
       ""},
      {"letter case makes keys differ", {{"ICON1", "ico", "C:\\a.ico"}, {"icon1", "ico", "C:\\b.ico"}}, "", ""},
      {"three alike, each once",
       {{"A", "ico", "C:\\z.ico"}, {"A", "ico", "C:\\x.ico"}, {"A", "ico", "C:\\y.ico"}},
       "",
       "A->x.ico\rA->y.ico\rA->z.ico\r"},
      {"same file name in two folders shows once",
       {{"A", "ico", "C:\\one\\a.ico"}, {"A", "ico", "C:\\two\\a.ico"}},
       "",
       "A->a.ico\r"},
      {"both faults", {{"B", "", "C:\\b1"}, {"?", "", "C:\\q"}, {"B", "", "C:\\b2"}}, "q\r", "B->b1\rB->b2\r"},
      {"one empty key is no fault", {{"", "ico", "C:\\a.ico"}, {"K", "ico", "C:\\k.ico"}}, "", ""},
      {"two empty keys are shared", {{"", "", "C:\\b"}, {"", "", "C:\\a"}}, "", "->a\r->b\r"},
      {"an empty key is not unnamed", {{"", "ico", "C:\\a.ico"}}, "", ""},
      // Ordered as the Windows word sort orders them: letter case ignored,
      // punctuation before digits, hyphens counted only to break ties.
      {"locale order",
       {{"b", "", "C:\\1"},
        {"C", "", "C:\\2"},
        {"b", "", "C:\\3"},
        {"C", "", "C:\\4"},
        {"A1", "", "C:\\5"},
        {"A_1", "", "C:\\6"},
        {"A1", "", "C:\\7"},
        {"A_1", "", "C:\\8"},
        {"K", "", "C:\\k-2.ico"},
        {"K", "", "C:\\k1.ico"}},
       "",
       "A_1->6\rA_1->8\rA1->5\rA1->7\rb->1\rb->3\rC->2\rC->4\rK->k1.ico\rK->k-2.ico\r"},
      {"lines equal but for letter case keep the first",
       {{"A", "", "C:\\x.ico"}, {"A", "", "D:\\X.ICO"}},
       "",
       "A->x.ico\r"},
      {"short entries read missing fields as empty", {{"?"}, {"K"}, {"K"}, {}}, "\r", "K->\r"},
      {"a path without separators is its own file name", {{"?", "", "plain.ico"}}, "plain.ico\r", ""},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ResourcePool pool = PoolOf(c.entries);
    EXPECT_EQ(KeyProblemList(pool, 1), c.missing);
    EXPECT_EQ(KeyProblemList(pool, 2), c.shared);
    EXPECT_EQ(KeyProblemList(pool, 0), "");
    EXPECT_EQ(KeyProblemList(pool, 3), "");
  }
}

TEST(KeyLineCompareAscii, FollowsTheWordSortOfAscii) {
  struct Order {
    const char* lower;
    const char* higher;
  };
  const std::vector<Order> orders = {
      {"a", "B"},     {"_", "0"},         {" ", "!"},         {"~", "+"},        {">", "0"},
      {"9", "a"},     {"A", "AB"},        {"", "-"},          {"-B", "-C"},      {"ab", "a-b"},
      {"ab-", "a-b"}, {"'ab", "-ab"},     {"a-b-", "a--b"},   {"a-b", "a--b"},   {"A_B->y", "A->x"},
      {"ab'", "a-b"}, {"A ->b", "A- >b"}, {"CoOp-", "co-op"}, {"z", "\xC3\xA7"},
  };
  for (const Order& o : orders) {
    SCOPED_TRACE(std::string(o.lower) + " < " + o.higher);
    EXPECT_LT(KeyLineCompareAscii(o.lower, o.higher), 0);
    EXPECT_GT(KeyLineCompareAscii(o.higher, o.lower), 0);
  }
  EXPECT_EQ(KeyLineCompareAscii("Icon-1->A.ico", "ICON-1->a.ICO"), 0);
}

}  // namespace
}  // namespace kovan
