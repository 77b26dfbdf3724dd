// Query trees: the exported helpers, and both evaluations on trees a tool
// could build, hostile ones included.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "access/query_eval.h"
#include "config/record.h"
#include "xoltlog/config.h"
#include "xoltlog/frame.h"
#include "xoltlog/query.h"
#include "xoltlog/text.h"

namespace xoltlog::test {
namespace {

// Nodes that live as long as the tree.
class Tree {
 public:
  XoltLogQueryNode* op(int code, XoltLogQueryNode* left, XoltLogQueryNode* right) {
    return &nodes_.emplace_back(XoltLogQueryNode{code, 0, {}, 0, left, right});
  }
  XoltLogQueryNode* terminal(int kind, std::uint32_t number) {
    XoltLogQueryNode& node = nodes_.emplace_back(XoltLogQueryNode{kind, 0, {}, 0, nullptr, nullptr});
    node.value.number = number;
    return &node;
  }
  XoltLogQueryNode* text(const char* value) {
    XoltLogQueryNode& node =
        nodes_.emplace_back(XoltLogQueryNode{XOLTLOG_QUERY_STRING, 0, {}, 0, nullptr, nullptr});
    node.value.text = value;
    return &node;
  }
  // field <op> constant
  XoltLogQueryNode* compare(int code, std::uint32_t field, std::uint32_t constant) {
    return op(code, terminal(XOLTLOG_QUERY_FIELD, field), terminal(XOLTLOG_QUERY_NUMBER, constant));
  }

 private:
  std::deque<XoltLogQueryNode> nodes_;
};

TEST(QueryHelpers, OperatorsTermsAndHashes) {
  struct Case {
    int op;
    std::uint32_t a, b;
    int expected;
  };
  for (const Case c : {Case{281, 1, 2, 1}, Case{281, 1, 0, 0}, Case{282, 0, 5, 1}, Case{282, 0, 0, 0},
                       Case{283, 1, 2, 1}, Case{284, 1, 2, 0}, Case{285, 2, 2, 1}, Case{286, 1, 2, 0},
                       Case{287, 7, 7, 1}, Case{288, 7, 7, 0}, Case{280, 1, 1, 0}, Case{289, 1, 1, 0}}) {
    EXPECT_EQ(eval(c.op, c.a, c.b), c.expected) << c.op;
  }
  EXPECT_EQ(evalString(287, "a", "a"), 1);
  EXPECT_EQ(evalString(288, "a", "ab"), 1);
  EXPECT_EQ(evalString(283, "a", "b"), 0);
  EXPECT_EQ(evalString(287, nullptr, ""), 1);
  EXPECT_EQ(isterm(256) + isterm(257) + isterm(261) + isterm(262), 2);
  EXPECT_EQ(HashString("abc", 300), 54u);
  EXPECT_EQ(HashString("abc", 200), 154u);
  EXPECT_EQ(HashString("", 7), 0u);
  EXPECT_EQ(HashString("abc", 0), 0u);
  // Bytes above 127 count as negative: 31 * 0 + (-1).
  EXPECT_EQ(HashString("\xff", 1000000007), (0xFFFFFFFFu) % 1000000007u);
}

TEST(QueryHelpers, TimeConstantsMoveToTheFilesZone) {
  setenv("TZ", "UTC", 1);
  tzset();
  Tree tree;
  XoltLogQueryNode* since = tree.compare(286, XOLTLOG_QUERY_TIME, 1000);
  XoltLogQueryNode* start = tree.compare(285, XOLTLOG_QUERY_START_TIME, 5000);
  XoltLogQueryNode* zero = tree.compare(287, XOLTLOG_QUERY_TIME, 0);
  XoltLogQueryNode* product = tree.compare(287, XOLTLOG_QUERY_PRODUCT, 12);
  XoltLogQueryNode* root =
      tree.op(281, tree.op(281, since, start), tree.op(282, zero, product));
  ASSERT_EQ(getLocalTZOffsetFromGMT(), 0);
  EXPECT_EQ(updateQueryForTZ(root, 0), 0u);
  EXPECT_EQ(since->right->value.number, 1000u);
  EXPECT_EQ(updateQueryForTZ(root, 3600), 0u);
  EXPECT_EQ(since->right->value.number, 4600u);
  EXPECT_EQ(start->right->value.number, 8600u);
  EXPECT_EQ(zero->right->value.number, 0u);
  EXPECT_EQ(product->right->value.number, 12u);
  // Missing children, a terminal in an operator's place and a cycle end
  // the walk with 1.
  EXPECT_EQ(updateQueryForTZ(nullptr, 0), 1u);
  EXPECT_EQ(updateQueryForTZ(tree.op(281, since, nullptr), 0), 1u);
  EXPECT_EQ(updateQueryForTZ(tree.op(281, since, tree.terminal(258, 1)), 0), 1u);
  XoltLogQueryNode* loop = tree.op(281, since, nullptr);
  loop->right = loop;
  EXPECT_EQ(updateQueryForTZ(loop, 0), 1u);
  unsetenv("TZ");
  tzset();
}

TEST(QueryHelpers, NamesAndContextsLookedUp) {
  XoltLogCfg product{};
  XoltLogCfg other{};
  init_config(LibraryLockGuard("test"), &product, 12, 3, nullptr);
  init_config(LibraryLockGuard("test"), &other, 14, 4, nullptr);
  std::snprintf(product.product_names, sizeof product.product_names, "web, Data Base ,db");
  std::snprintf(other.originator_names, sizeof other.originator_names, "agent");
  XoltLogCfg* records[] = {&other, &product};
  EXPECT_EQ(GetIdFromName(records, 2, 263, "12"), 12u);
  EXPECT_EQ(GetIdFromName(records, 2, 263, "DataBase"), 12u);
  EXPECT_EQ(GetIdFromName(records, 2, 263, "Data Base"), 0u);
  EXPECT_EQ(GetIdFromName(records, 2, 263, "14"), 0u);  // its product names are empty
  EXPECT_EQ(GetIdFromName(records, 2, 264, "agent"), 4u);
  EXPECT_EQ(GetIdFromName(records, 2, 264, nullptr), 0u);
  xoltLogFreeCfg(&product);
  xoltLogFreeCfg(&other);

  XoltLogContextEntry* table[XOLTLOG_CONTEXT_BUCKETS] = {};
  XoltLogContextEntry entry{nullptr, 12, 3, "job", nullptr};
  table[HashString("job", XOLTLOG_CONTEXT_BUCKETS)] = &entry;
  XoltLogMsg record{};
  record.product_id = 12;
  record.originator_id = 3;
  record.type = XOLTLOG_MSG_APP;
  EXPECT_EQ(SearchContextTitleInList(&record, "ignored", "job", table), &entry);
  EXPECT_EQ(entry.context_text, nullptr);
  record.type = XOLTLOG_MSG_CONTEXT;
  EXPECT_EQ(SearchContextTitleInList(&record, "first", "job", table), &entry);
  EXPECT_EQ(SearchContextTitleInList(&record, "second", "job", table), &entry);
  EXPECT_STREQ(entry.context_text, "second");
  record.originator_id = 4;
  EXPECT_EQ(SearchContextTitleInList(&record, "x", "job", table), nullptr);
  EXPECT_EQ(SearchContextTitleInList(&record, "x", nullptr, table), nullptr);
  xoltLogFree(entry.context_text);
}

TEST(QueryEvaluation, FieldsAreDecidedByWhatEachLevelKnows) {
  Tree tree;
  XoltLogQueryNode* product_and_originator =
      tree.op(281, tree.compare(287, XOLTLOG_QUERY_PRODUCT, 12),
              tree.compare(287, XOLTLOG_QUERY_ORIGINATOR, 3));
  XoltLogHeader header{};
  header.product_id = 12;
  header.originator_id = 3;
  EXPECT_TRUE(query_passes_header(product_and_originator, {&header, "", 0}));
  header.originator_id = 4;
  EXPECT_FALSE(query_passes_header(product_and_originator, {&header, "", 0}));
  // A file name does not decide field 264: only the product counts.
  EXPECT_TRUE(query_passes_file(product_and_originator, {12, 4}));
  EXPECT_FALSE(query_passes_file(product_and_originator, {13, 3}));

  // Time 268: the start time or else the last write; the field may stand
  // on either side of the comparison.
  XoltLogQueryNode* since = tree.compare(286, XOLTLOG_QUERY_TIME, 1000);
  EXPECT_TRUE(query_passes_file(since, {12, 3, "", nullptr, 900, 1000}));
  EXPECT_FALSE(query_passes_file(since, {12, 3, "", nullptr, 900, 999}));
  XoltLogQueryNode* mirrored = tree.op(286, tree.terminal(XOLTLOG_QUERY_NUMBER, 1000),
                                       tree.terminal(XOLTLOG_QUERY_FIELD, XOLTLOG_QUERY_START_TIME));
  EXPECT_TRUE(query_passes_file(mirrored, {12, 3, "", nullptr, 1000, 0}));

  XoltLogQueryNode* host = tree.op(287, tree.terminal(XOLTLOG_QUERY_FIELD, XOLTLOG_QUERY_HOST),
                                   tree.text("alpha"));
  EXPECT_TRUE(query_passes_file(host, {12, 3, "alpha"}));
  EXPECT_FALSE(query_passes_header(host, {&header, "", 0}));
  EXPECT_TRUE(query_mentions_field(tree.op(281, since, host), XOLTLOG_QUERY_HOST));
  EXPECT_FALSE(query_mentions_field(since, XOLTLOG_QUERY_HOST));
  XoltLogQueryNode* logset = tree.op(287, tree.terminal(XOLTLOG_QUERY_FIELD, XOLTLOG_QUERY_LOGSET),
                                     tree.text("nightly"));
  EXPECT_TRUE(query_passes_file(logset, {12, 0, "", "nightly"}));
  EXPECT_FALSE(query_passes_file(logset, {12, 3, "", nullptr}));
  EXPECT_TRUE(query_passes_header(logset, {&header, "nightly", 0}));
  EXPECT_TRUE(query_passes_file(nullptr, {}));
}

TEST(QueryEvaluation, HostileTreesAreFalseAndFinish) {
  Tree tree;
  XoltLogQueryNode* fine = tree.compare(287, XOLTLOG_QUERY_PRODUCT, 12);
  const FileFacts facts{12, 3};
  ASSERT_TRUE(query_passes_file(fine, facts));
  // Slots left by an earlier evaluation, or written by a tool, do no harm.
  fine->slot = 7;
  tree.op(281, fine, fine)->slot = -5;
  EXPECT_TRUE(query_passes_file(tree.op(281, fine, fine), facts));

  XoltLogQueryNode* cycle = tree.op(281, fine, nullptr);
  cycle->right = cycle;
  XoltLogQueryNode* deep = fine;
  for (int i = 0; i < 300; ++i) deep = tree.op(281, deep, fine);
  XoltLogQueryNode* null_text =
      tree.op(287, tree.terminal(XOLTLOG_QUERY_FIELD, XOLTLOG_QUERY_HOST), tree.text(nullptr));
  std::vector<XoltLogQueryNode*> hostile = {
      tree.terminal(XOLTLOG_QUERY_FIELD, 263),  // a terminal root
      tree.op(281, fine, nullptr), cycle, deep,
      tree.op(999, fine, fine),  // unknown operator
      tree.compare(287, 9999, 12),  // unknown field
  };
  for (XoltLogQueryNode* root : hostile) {
    EXPECT_FALSE(query_passes_file(root, facts));
  }
  // A null text compares as empty.
  EXPECT_TRUE(query_passes_file(null_text, {12, 3, ""}));
  EXPECT_FALSE(query_mentions_field(cycle, XOLTLOG_QUERY_HOST));
}

}  // namespace
}  // namespace xoltlog::test
