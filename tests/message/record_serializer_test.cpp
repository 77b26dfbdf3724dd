#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "message/record_lines.h"
#include "message/text_buffer.h"
#include "support/rir_messages.h"
#include "support/temp_dir.h"
#include "xoltlog/record_format.h"

namespace {

using record_test::borrowed;
using record_test::header_record;
using record_test::line_of;
using record_test::serialize;
using rir_test::OwnedMsg;

constexpr const char* kUnable = "**UNABLE TO PROCESS LOG MESSAGE**";

XoltLogMsg app_record(const char* text, const char* who, uint32_t severity,
                      uint32_t version = XOLTLOG_RECORD_VERSION) {
  XoltLogMsg msg = header_record(XOLTLOG_MSG_APP, 12, 1684318830123, version);
  msg.text = borrowed(text);
  msg.who_or_subject = borrowed(who);
  msg.attr.severity = severity;
  return msg;
}

TEST(RecordLine, ExampleLinesComeOutExactly) {
  EXPECT_EQ(line_of(app_record("Disk full", "svc", 2)),
            "2,5,7,7,12,1684318830123,4321,8765,0:,9:Disk full,3:svc,2,(0|)\n");

  OwnedMsg catalog;
  ASSERT_EQ(rir_test::build_ex(catalog.get(), 0, 1234, "%s%s", "abc", "C:"), XOLT_RIR_OK);
  XoltLogMsg second = app_record(nullptr, "svc", 1);
  second.sequence = 13;
  second.timestamp_ms = 1684318830456;
  second.rir = *catalog;
  EXPECT_EQ(line_of(second),
            "2,5,7,7,13,1684318830456,4321,8765,0:,0:,3:svc,1,(1234|S3:abc|S2:C:|)\n");

  XoltLogMsg debug = header_record(XOLTLOG_MSG_DEBUG, 14, 1684318830789);
  debug.thread_id = 8766;
  debug.text = borrowed("retry count");
  debug.who_or_subject = borrowed("main");
  debug.attr.level = 3;
  EXPECT_EQ(line_of(debug), "0,5,7,7,14,1684318830789,4321,8766,0:,11:retry count,4:main,3\n");
}

TEST(RecordLine, NumericHeaderFollowsTheRecordVersion) {
  struct Case {
    uint32_t version;
    const char* line;
  };
  const Case cases[] = {
      {0x10007, "2,5,7,7,12,1684318830123,4321,8765,0:,1:t,1:w,0,(0|)\n"},
      {0x10008, "2,7,12,1684318830123,4321,8765,0:,1:t,1:w,0,(0|)\n"},
      // The old versions have no numeric header, and the two oldest no who.
      {0x10006, "0:,1:t,1:w,0,(0|)\n"},
      {0x10005, "0:,1:t,0,(0|)\n"},
      {0x10004, "0:,1:t,0,(0|)\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(line_of(app_record("t", "w", 0, c.version)), c.line) << c.version;
  }
}

TEST(RecordLine, HeaderNumbersUseTheirFullRange) {
  XoltLogMsg msg = app_record(nullptr, nullptr, 4);
  msg.product_id = msg.file_originator = msg.sequence = msg.thread_id = 4294967295u;
  msg.originator_id = msg.process_id = 0;
  msg.timestamp_ms = std::numeric_limits<int64_t>::min();
  EXPECT_EQ(line_of(msg),
            "2,4294967295,0,4294967295,4294967295,-9223372036854775808,0,4294967295,"
            "0:,0:,0:,4,(0|)\n");
}

TEST(RecordLine, EachMessageTypeWritesItsOwnFields) {
  struct Case {
    uint32_t type;
    int32_t number;
    const char* attribute;
    const char* tail;  // what follows the text field
  };
  const Case cases[] = {
      {XOLTLOG_MSG_DEBUG, 6, "who", "3:who,6\n"},
      {XOLTLOG_MSG_DEBUG, -2, nullptr, "0:,-2\n"},
      {XOLTLOG_MSG_DIAG, 1, "diag", "4:diag,1,(0|)\n"},
      {XOLTLOG_MSG_APP, 3, "app", "3:app,3,(0|)\n"},
      {XOLTLOG_MSG_AUDIT, 0, "subject", "7:subject,0,(0|)\n"},
      // The outcome is written as a signed 32-bit number.
      {XOLTLOG_MSG_AUDIT, -1, "s", "1:s,-1,(0|)\n"},
  };
  for (const Case& c : cases) {
    XoltLogMsg msg = header_record(c.type, 1, 2);
    msg.text = borrowed("t");
    msg.who_or_subject = borrowed(c.attribute);
    if (c.type == XOLTLOG_MSG_AUDIT) {
      msg.outcome = static_cast<uint32_t>(c.number);
    } else {
      msg.attr.level = c.number;
    }
    const std::string prefix = std::to_string(c.type) + ",5,7,7,1,2,4321,8765,0:,1:t,";
    EXPECT_EQ(line_of(msg), prefix + c.tail) << c.type;
  }

  XoltLogMsg context = header_record(XOLTLOG_MSG_CONTEXT, 1, 2);
  char title[] = "job 42";
  context.attr.context_attr = title;
  context.context_token = borrowed("job 42");
  context.who_or_subject = borrowed("ignored");
  EXPECT_EQ(line_of(context), "3,5,7,7,1,2,4321,8765,6:job 42,0:,6:job 42,(0|)\n");
}

TEST(RecordLine, StringFieldsCarryTheirBytesUnescaped) {
  struct Case {
    const char* text;
    const char* field;
  };
  const Case cases[] = {
      {"", "0:,"},
      {"a,b:c|d(e)f", "11:a,b:c|d(e)f,"},
      // Line feeds become carriage returns; the byte count stays.
      {"one\ntwo\n", "8:one\rtwo\r,"},
      {"\n", "1:\r,"},
      {"caf\xc3\xa9 \xe2\x82\xac", "9:caf\xc3\xa9 \xe2\x82\xac,"},
      // Text without a UTF-8 form does not fail the record.
      {"caf\xe9", "33:**UNABLE TO PROCESS LOG MESSAGE**,"},
      {"\xc0\xaf", "33:**UNABLE TO PROCESS LOG MESSAGE**,"},
      {"\xed\xa0\x80", "33:**UNABLE TO PROCESS LOG MESSAGE**,"},
  };
  for (const Case& c : cases) {
    XoltLogMsg msg = header_record(XOLTLOG_MSG_DEBUG, 1, 2);
    msg.context_token = borrowed(c.text);
    msg.text = borrowed(c.text);
    msg.who_or_subject = borrowed(c.text);
    msg.attr.level = 1;
    const std::string field = c.field;
    EXPECT_EQ(line_of(msg), "0,5,7,7,1,2,4321,8765," + field + field + field + "1\n") << c.text;
  }
}

TEST(RecordLine, Utf8RecordsAreCopiedAsTheyAre) {
  XoltLogMsg msg = app_record("caf\xe9\n", "w\xff", 0);
  msg.utf8 = 1;
  EXPECT_EQ(line_of(msg), "2,5,7,7,12,1684318830123,4321,8765,0:,5:caf\xe9\r,2:w\xff,0,(0|)\n");
}

std::string argument_list_of(const XoltRirMsg& rir) {
  XoltLogMsg msg = app_record(nullptr, nullptr, 0);
  msg.rir = rir;
  const std::string line = line_of(msg);
  const std::string prefix = "2,5,7,7,12,1684318830123,4321,8765,0:,0:,0:,0,";
  EXPECT_EQ(line.substr(0, prefix.size()), prefix);
  EXPECT_EQ(line.back(), '\n');
  return line.substr(prefix.size(), line.size() - prefix.size() - 1);
}

template <typename... Args>
std::string list_of(const char* format, Args... args) {
  OwnedMsg msg;
  EXPECT_EQ(rir_test::build_ex(msg.get(), 0, 77, format, args...), XOLT_RIR_OK) << format;
  return argument_list_of(*msg);
}

TEST(RecordLine, ArgumentsAreEncodedByType) {
  EXPECT_EQ(list_of("%lc", static_cast<wint_t>(L'a')), "(77|11:a|)");
  EXPECT_EQ(list_of("%lc", static_cast<wint_t>(0xE9)), "(77|12:\xc3\xa9|)");
  EXPECT_EQ(list_of("%lc", static_cast<wint_t>(0x20AC)), "(77|13:\xe2\x82\xac|)");
  EXPECT_EQ(list_of("%lc", static_cast<wint_t>(0x1F600)), "(77|14:\xf0\x9f\x98\x80|)");
  EXPECT_EQ(list_of("%lc", static_cast<wint_t>(0)), "(77|10:|)");
  EXPECT_EQ(list_of("%d%hhd", -5, 7), "(77|i32:-5|i8:7|)");
  EXPECT_EQ(list_of("%lld", std::numeric_limits<long long>::min()),
            "(77|i64:-9223372036854775808|)");
  EXPECT_EQ(list_of("%u%llu", 42u, std::numeric_limits<unsigned long long>::max()),
            "(77|u32:42|u64:18446744073709551615|)");
  EXPECT_EQ(list_of("%f%f", 3.5, -0.25), "(77|83.500000|8-0.250000|)");
  EXPECT_EQ(list_of("%p", reinterpret_cast<void*>(0x1234)), "(77|964:4660|)");
  EXPECT_EQ(list_of("%ls", L"h\u00e9|"), "(77|A4:h\xc3\xa9||)");
  EXPECT_EQ(list_of("%{oserr}%{oserr64}", 2, int64_t{-1}), "(77|D32:2|D64:-1|)");
  EXPECT_EQ(list_of("%{time}", int64_t{1684318830}), "(77|C64:1684318830|)");
  EXPECT_EQ(list_of("%{utf8}%s", "a|b", "x\ny"), "(77|X3:a|b|S3:x\ry|)");
  EXPECT_EQ(list_of("%s", ""), "(77|S0:|)");
}

TEST(RecordLine, NestedListsEndWithTheirCommaBeforeWhatFollows) {
  OwnedMsg inner;
  ASSERT_EQ(rir_test::build_ex(inner.get(), 0, 5, "%s", "x"), XOLT_RIR_OK);
  OwnedMsg middle;
  ASSERT_EQ(rir_test::build_ex(middle.get(), 0, 6, "%{rir}%d", inner.get(), 1), XOLT_RIR_OK);
  EXPECT_EQ(list_of("%s%{rir}%s", "a", inner.get(), "b"), "(77|S1:a|(5|S1:x|),S1:b|)");
  EXPECT_EQ(list_of("%{rir}", middle.get()), "(77|(6|(5|S1:x|),i32:1|),)");
  XoltRirMsg empty_text{};
  EXPECT_EQ(argument_list_of(empty_text), "(0|)");
}

// Doubles print as printf's "%f" prints them, for every kind of value.
TEST(RecordLine, DoublesMatchPrintfFixedNotation) {
  const double values[] = {0.0,
                           -0.0,
                           1.0 / 3,
                           0.0000005,
                           0.0000015,
                           2.5e-7,
                           123456789.123456789,
                           1e22,
                           -DBL_MAX,
                           DBL_MIN,
                           std::numeric_limits<double>::denorm_min(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::nan(""),
                           -std::nan("")};
  for (const double value : values) {
    XoltRirArgNode node{};
    node.type = XOLT_RIR_ARG_DOUBLE;
    node.value.first.number_double = value;
    XoltRirMsg rir{9, &node};
    char expected[400];
    std::snprintf(expected, sizeof expected, "(9|8%f|)", value);
    EXPECT_EQ(argument_list_of(rir), expected);
  }
}

XoltRirArgNode node_of(int32_t type, XoltRirFirstValue first = {}) {
  XoltRirArgNode node{};
  node.type = type;
  node.value.first = first;
  return node;
}

// Argument nodes as the catalog library would never build them, met after a
// long text so that the line has left the inline storage by then.
TEST(RecordLine, UnwritableArgumentsFailWithNothingToRelease) {
  const wchar_t surrogate[] = {L'a', static_cast<wchar_t>(0xDC00), L'\0'};
  const wchar_t beyond[] = {L'a', static_cast<wchar_t>(0x7FFFFFFF), L'\0'};
  XoltRirArgNode unknown = node_of(12);
  const XoltRirMsg unknown_inside{3, &unknown};
  std::vector<XoltRirArgNode> bad = {
      unknown,
      node_of(-1),
      node_of(XOLT_RIR_ARG_NATIVESTRING),
      node_of(XOLT_RIR_ARG_UTF8STRING),
      node_of(XOLT_RIR_ARG_WSTRING),
      node_of(XOLT_RIR_ARG_RIR),
      node_of(XOLT_RIR_ARG_RIR, {.rir = &unknown_inside}),
      node_of(XOLT_RIR_ARG_WSTRING, {.wide_string = surrogate}),
      node_of(XOLT_RIR_ARG_WSTRING, {.wide_string = beyond}),
  };
  for (const int32_t c : {0xD800, 0xDFFF, 0x110000, -1}) {
    bad.push_back(node_of(XOLT_RIR_ARG_WCHAR, {.wide_char = static_cast<wchar_t>(c)}));
  }
  const std::string long_text(6000, 'x');
  for (XoltRirArgNode& node : bad) {
    XoltRirArgNode good = node_of(XOLT_RIR_ARG_LONGLONG);
    good.next = &node;
    XoltLogMsg msg = app_record(long_text.c_str(), "w", 0);
    msg.rir = XoltRirMsg{1, &good};
    const record_test::Serialized out = serialize(msg);
    EXPECT_EQ(out.result, XOLTLOG_E_FAILED) << node.type;
    EXPECT_TRUE(out.buffer_left_inline);
  }
}

TEST(RecordLine, UnwritableRecordsFailWithNothingToRelease) {
  std::vector<XoltLogMsg> bad;
  for (const uint32_t version : {0u, 0x10003u, 0x10009u, 0xFFFFFFFFu}) {
    bad.push_back(app_record("t", "w", 0, version));
  }
  for (const uint32_t severity : {5u, 0xFFFFFFFFu}) {
    bad.push_back(app_record("t", "w", severity));
  }
  for (const uint32_t type : {5u, 6u, 0xFFFFFFFFu}) {
    bad.push_back(header_record(type, 1, 2));
  }
  for (const XoltLogMsg& msg : bad) {
    const record_test::Serialized out = serialize(msg);
    EXPECT_EQ(out.result, XOLTLOG_E_FAILED) << msg.type << " " << msg.record_version;
    EXPECT_TRUE(out.buffer_left_inline);
  }
}

// Debug lines carry no argument list, so their nodes are never looked at.
TEST(RecordLine, DebugRecordsIgnoreTheirArguments) {
  XoltRirArgNode bad_type{};
  bad_type.type = 99;
  XoltLogMsg msg = header_record(XOLTLOG_MSG_DEBUG, 1, 2);
  msg.attr.level = 1;
  msg.rir = XoltRirMsg{1, &bad_type};
  EXPECT_EQ(line_of(msg), "0,5,7,7,1,2,4321,8765,0:,0:,0:,1\n");
}

TEST(RecordLine, NullArgumentsAreRefused) {
  XoltLogMsg msg = app_record("t", "w", 0);
  XoltLogTextMsg buffer;
  EXPECT_EQ(xoltLogMsgSerialize(nullptr, &buffer), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogMsgSerialize(&msg, nullptr), XOLTLOG_E_INVALID_ARG);
  init_text_msg(nullptr);
  free_text_msg(nullptr);
}

// A line longer than the inline storage: the bytes written before the move
// to the heap come along, and line feeds on both sides are replaced.
TEST(RecordLine, LongLinesMoveToTheHeapIntact) {
  std::string text;
  for (int i = 0; text.size() < 20000; ++i) {
    text += "line " + std::to_string(i) + (i % 7 == 0 ? "\n" : ", ");
  }
  std::string who(5000, 'w');
  who[4090] = '\n';
  XoltLogMsg msg = app_record(text.c_str(), who.c_str(), 0);
  std::string expected = "2,5,7,7,12,1684318830123,4321,8765,0:," + std::to_string(text.size()) +
                         ":" + text + ",5000:" + who + ",0,(0|)";
  for (char& c : expected) {
    c = c == '\n' ? '\r' : c;
  }
  EXPECT_EQ(line_of(msg), expected + "\n");
}

// Three long fields make three growths; each one fails in turn.
TEST(RecordLine, ExhaustedMemoryGivesFourAndReleasesTheBufferOnce) {
  const std::string text(6000, 't');
  XoltLogMsg msg = app_record(text.c_str(), text.c_str(), 0);
  msg.context_token = borrowed(text.c_str());
  const std::string expected = line_of(msg);
  int failures = 0;
  for (int growths = 0; growths < 10; ++growths) {
    xoltlog::fail_text_growth_after(growths);
    const record_test::Serialized out = serialize(msg);
    xoltlog::fail_text_growth_after(-1);
    if (out.result == XOLTLOG_OK) {
      EXPECT_EQ(out.line, expected);
      break;
    }
    ASSERT_EQ(out.result, XOLTLOG_E_NO_MEMORY) << growths;
    EXPECT_TRUE(out.buffer_left_inline);
    ++failures;
  }
  EXPECT_EQ(failures, 3);
}

// Record strings in a code page other than UTF-8 are converted; the test
// builds such a locale (ISO-8859-1) in a temporary directory.
class Latin1CodePage : public testing::Test {
 protected:
  void SetUp() override {
    const std::string command =
        "localedef -c -i en_US -f ISO-8859-1 " + dir_.file("en_US.ISO-8859-1") + " >/dev/null 2>&1";
    [[maybe_unused]] const int status = std::system(command.c_str());
    setenv("LOCPATH", dir_.path().c_str(), 1);
    if (std::setlocale(LC_CTYPE, "en_US.ISO-8859-1") == nullptr) {
      GTEST_SKIP() << "no ISO-8859-1 locale can be built here";
    }
  }
  void TearDown() override {
    std::setlocale(LC_CTYPE, "C");
    unsetenv("LOCPATH");
  }

  xoltlog::test::TempDir dir_;
};

TEST_F(Latin1CodePage, StringFieldsAreConvertedUnlessTheRecordIsUtf8) {
  XoltLogMsg msg = header_record(XOLTLOG_MSG_APP, 1, 2);
  msg.context_token = borrowed("\xa4");
  msg.text = borrowed("caf\xe9\n");
  msg.who_or_subject = borrowed("w");
  EXPECT_EQ(line_of(msg), "2,5,7,7,1,2,4321,8765,2:\xc2\xa4,6:caf\xc3\xa9\r,1:w,0,(0|)\n");
  msg.utf8 = 1;
  EXPECT_EQ(line_of(msg), "2,5,7,7,1,2,4321,8765,1:\xa4,5:caf\xe9\r,1:w,0,(0|)\n");
}

}  // namespace
