#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <string>
#include <utility>
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

  // Debug lines carry no argument list.
  XoltLogMsg debug = header_record(XOLTLOG_MSG_DEBUG, 14, 1684318830789);
  debug.thread_id = 8766;
  debug.text = borrowed("retry count");
  debug.who_or_subject = borrowed("main");
  debug.attr.level = 3;
  EXPECT_EQ(line_of(debug), "0,5,7,7,14,1684318830789,4321,8766,0:,11:retry count,4:main,3\n");

  // A context line carries its attribute where others have their who, and
  // no number; an audit line its outcome as a signed 32-bit number.
  XoltLogMsg context = header_record(XOLTLOG_MSG_CONTEXT, 1, 2);
  char title[] = "job 42";
  context.attr.context_attr = title;
  context.who_or_subject = borrowed("ignored");
  EXPECT_EQ(line_of(context), "3,5,7,7,1,2,4321,8765,0:,0:,6:job 42,(0|)\n");
  XoltLogMsg audit = header_record(XOLTLOG_MSG_AUDIT, 1, 2);
  audit.who_or_subject = borrowed("s");
  audit.outcome = UINT32_MAX;
  EXPECT_EQ(line_of(audit), "4,5,7,7,1,2,4321,8765,0:,0:,1:s,-1,(0|)\n");
}

TEST(RecordLine, NumericHeaderFollowsTheRecordVersion) {
  const std::pair<uint32_t, const char*> cases[] = {
      {0x10007, "2,5,7,7,12,1684318830123,4321,8765,0:,1:t,1:w,0,(0|)\n"},
      {0x10008, "2,7,12,1684318830123,4321,8765,0:,1:t,1:w,0,(0|)\n"},
      // The old versions have no numeric header, and the two oldest no who.
      {0x10006, "0:,1:t,1:w,0,(0|)\n"},
      {0x10005, "0:,1:t,0,(0|)\n"},
      {0x10004, "0:,1:t,0,(0|)\n"},
  };
  for (const auto& [version, line] : cases) {
    EXPECT_EQ(line_of(app_record("t", "w", 0, version)), line) << version;
  }
}

// Fields between separators carry their bytes unescaped, line feeds turned
// into carriage returns; text without a UTF-8 form does not fail the record,
// and the strings of a UTF-8 record are copied as they are.
TEST(RecordLine, StringFieldsCarryTheirBytesUnescaped) {
  const std::pair<const char*, const char*> cases[] = {
      {"a,b:c|d(e)f\n\n", "13:a,b:c|d(e)f\r\r,"},
      {"caf\xc3\xa9 \xe2\x82\xac", "9:caf\xc3\xa9 \xe2\x82\xac,"},
      {"caf\xe9", "33:**UNABLE TO PROCESS LOG MESSAGE**,"},
  };
  for (const auto& [text, field] : cases) {
    XoltLogMsg msg = header_record(XOLTLOG_MSG_DEBUG, 1, 2);
    msg.context_token = msg.text = msg.who_or_subject = borrowed(text);
    msg.attr.level = 1;
    EXPECT_EQ(line_of(msg), "0,5,7,7,1,2,4321,8765," + std::string(field) + field + field + "1\n");
  }
  XoltLogMsg utf8 = app_record("caf\xe9\n", "w\xff", 0);
  utf8.utf8 = 1;
  EXPECT_EQ(line_of(utf8), "2,5,7,7,12,1684318830123,4321,8765,0:,5:caf\xe9\r,2:w\xff,0,(0|)\n");
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
  EXPECT_EQ(list_of("%lc%lc%lc", wint_t{L'a'}, wint_t{0x1F600}, wint_t{0}),
            "(77|11:a|14:\xf0\x9f\x98\x80|10:|)");
  EXPECT_EQ(list_of("%d%hhd%lld", -5, 7, LLONG_MIN), "(77|i32:-5|i8:7|i64:-9223372036854775808|)");
  EXPECT_EQ(list_of("%u%llu", 42u, ULLONG_MAX), "(77|u32:42|u64:18446744073709551615|)");
  EXPECT_EQ(list_of("%f%p%ls", 3.5, reinterpret_cast<void*>(0x1234), L"h\u00e9|"),
            "(77|83.500000|964:4660|A4:h\xc3\xa9||)");
  EXPECT_EQ(list_of("%{oserr}%{oserr64}%{time}", 2, int64_t{-1}, int64_t{1684318830}),
            "(77|D32:2|D64:-1|C64:1684318830|)");
  EXPECT_EQ(list_of("%{utf8}%s%s", "a|b", "x\ny", ""), "(77|X3:a|b|S3:x\ry|S0:|)");
  // A nested list ends with its comma before whatever follows.
  OwnedMsg inner;
  ASSERT_EQ(rir_test::build_ex(inner.get(), 0, 5, "%s", "x"), XOLT_RIR_OK);
  OwnedMsg middle;
  ASSERT_EQ(rir_test::build_ex(middle.get(), 0, 6, "%{rir}%d", inner.get(), 1), XOLT_RIR_OK);
  EXPECT_EQ(list_of("%s%{rir}%s", "a", inner.get(), "b"), "(77|S1:a|(5|S1:x|),S1:b|)");
  EXPECT_EQ(list_of("%{rir}", middle.get()), "(77|(6|(5|S1:x|),i32:1|),)");
}

// Doubles print as printf's "%f" prints them, for every kind of value.
TEST(RecordLine, DoublesMatchPrintfFixedNotation) {
  using limits = std::numeric_limits<double>;
  const double values[] = {0.0,     -0.0,    1.0 / 3,  0.0000005,           0.0000015,
                           2.5e-7,  1e22,    -DBL_MAX, 123456789.123456789, DBL_MIN,
                           limits::denorm_min(), limits::infinity(), -limits::infinity(),
                           std::nan(""), -std::nan("")};
  for (const double value : values) {
    XoltRirArgNode node{};
    node.type = XOLT_RIR_ARG_DOUBLE;
    node.value.first.number_double = value;
    char expected[400];
    std::snprintf(expected, sizeof expected, "(9|8%f|)", value);
    EXPECT_EQ(argument_list_of(XoltRirMsg{9, &node}), expected);
  }
}

XoltRirArgNode node_of(int32_t type, XoltRirFirstValue first = {}) {
  XoltRirArgNode node{};
  node.type = type;
  node.value.first = first;
  return node;
}

// Records and argument nodes that cannot be written; the bad nodes are met
// after a long text, when the line has left the inline storage.
TEST(RecordLine, UnwritableRecordsFailWithNothingToRelease) {
  const wchar_t beyond[] = {L'a', static_cast<wchar_t>(0x7FFFFFFF), L'\0'};
  XoltRirArgNode unknown = node_of(12);
  const XoltRirMsg unknown_inside{3, &unknown};
  XoltRirArgNode bad_nodes[] = {
      unknown,
      node_of(XOLT_RIR_ARG_NATIVESTRING),
      node_of(XOLT_RIR_ARG_WSTRING),
      node_of(XOLT_RIR_ARG_RIR),
      node_of(XOLT_RIR_ARG_RIR, {.rir = &unknown_inside}),
      node_of(XOLT_RIR_ARG_WSTRING, {.wide_string = beyond}),
      node_of(XOLT_RIR_ARG_WCHAR, {.wide_char = static_cast<wchar_t>(0xD800)}),
  };
  const std::string long_text(6000, 'x');
  XoltRirArgNode good[std::size(bad_nodes)];
  std::vector<XoltLogMsg> bad;
  for (std::size_t i = 0; i < std::size(bad_nodes); ++i) {
    good[i] = node_of(XOLT_RIR_ARG_LONGLONG);
    good[i].next = &bad_nodes[i];
    bad.push_back(app_record(long_text.c_str(), "w", 0));
    bad.back().rir = XoltRirMsg{1, &good[i]};
  }
  for (const uint32_t version : {0x10003u, 0x10009u}) {
    bad.push_back(app_record("t", "w", 0, version));
  }
  bad.push_back(app_record("t", "w", 5));  // severity above 4
  bad.push_back(header_record(XOLTLOG_MSG_SECURE_AUDIT, 1, 2));
  bad.push_back(header_record(6, 1, 2));
  for (const XoltLogMsg& msg : bad) {
    const record_test::Serialized out = serialize(msg);
    EXPECT_EQ(out.result, XOLTLOG_E_FAILED) << &msg - bad.data();
    EXPECT_TRUE(out.buffer_left_inline);
  }
  XoltLogTextMsg buffer;
  EXPECT_EQ(xoltLogMsgSerialize(nullptr, &buffer), XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogMsgSerialize(&bad.back(), nullptr), XOLTLOG_E_INVALID_ARG);
}

// Fields longer than the inline storage make the line grow twice: the
// bytes written before each move come along and line feeds on both sides of
// it are replaced. When each growth fails in turn, the result is 4 and the
// buffer is released once.
TEST(RecordLine, LongLinesMoveToTheHeapIntactOrFailWithNothingToRelease) {
  std::string text;
  for (int i = 0; text.size() < 20000; ++i) {
    text += "line " + std::to_string(i) + (i % 7 == 0 ? "\n" : ", ");
  }
  std::string who(5000, 'w');
  who[4090] = '\n';
  XoltLogMsg msg = app_record(text.c_str(), who.c_str(), 0);
  msg.context_token = borrowed(who.c_str());
  // A long argument grows the line once more, from one heap block to another.
  XoltRirArgNode argument = node_of(XOLT_RIR_ARG_NATIVESTRING, {.string = text.data()});
  msg.rir = XoltRirMsg{0, &argument};
  std::string expected = "2,5,7,7,12,1684318830123,4321,8765,5000:" + who + "," +
                         std::to_string(text.size()) + ":" + text + ",5000:" + who + ",0,(0|S" +
                         std::to_string(text.size()) + ":" + text + "|)";
  for (char& c : expected) {
    c = c == '\n' ? '\r' : c;
  }
  int failures = 0;
  for (int growths = 0; growths < 10; ++growths) {
    xoltlog::fail_text_growth_after(growths);
    const record_test::Serialized out = serialize(msg);
    xoltlog::fail_text_growth_after(-1);
    if (out.result == XOLTLOG_OK) {
      EXPECT_EQ(out.line, expected + "\n");
      break;
    }
    ASSERT_EQ(out.result, XOLTLOG_E_NO_MEMORY) << growths;
    EXPECT_TRUE(out.buffer_left_inline);
    ++failures;
  }
  EXPECT_EQ(failures, 2);
}

// Record strings in a code page other than UTF-8 are converted unless the
// record is UTF-8; the test builds an ISO-8859-1 locale in a temporary
// directory.
TEST(RecordLine, Latin1StringFieldsAreConvertedUnlessTheRecordIsUtf8) {
  xoltlog::test::TempDir dir;
  const std::string command =
      "localedef -c -i en_US -f ISO-8859-1 " + dir.file("en_US.ISO-8859-1") + " >/dev/null 2>&1";
  [[maybe_unused]] const int status = std::system(command.c_str());
  setenv("LOCPATH", dir.path().c_str(), 1);
  if (std::setlocale(LC_CTYPE, "en_US.ISO-8859-1") == nullptr) {
    unsetenv("LOCPATH");
    GTEST_SKIP() << "no ISO-8859-1 locale can be built here";
  }
  XoltLogMsg msg = header_record(XOLTLOG_MSG_APP, 1, 2);
  msg.context_token = borrowed("\xa4");
  msg.text = borrowed("caf\xe9\n");
  msg.who_or_subject = borrowed("w");
  const std::string converted = line_of(msg);
  msg.utf8 = 1;
  const std::string as_is = line_of(msg);
  std::setlocale(LC_CTYPE, "C");
  unsetenv("LOCPATH");
  EXPECT_EQ(converted, "2,5,7,7,1,2,4321,8765,2:\xc2\xa4,6:caf\xc3\xa9\r,1:w,0,(0|)\n");
  EXPECT_EQ(as_is, "2,5,7,7,1,2,4321,8765,1:\xa4,5:caf\xe9\r,1:w,0,(0|)\n");
}

}  // namespace
