#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/heap.h"
#include "message/record_lines.h"
#include "message/record_parser.h"
#include "support/rir_messages.h"
#include "xoltlog/text.h"

namespace {

using record_test::borrowed;
using record_test::header_record;
using record_test::line_of;
using rir_test::OwnedMsg;
using xoltlog::parse_record_line;
using xoltlog::ParsedArgument;
using xoltlog::ParsedArgumentList;
using xoltlog::ParsedRecord;

// What the record reader hands the parser: carriage returns turned back into
// line feeds.
std::string as_read(std::string line) {
  std::replace(line.begin(), line.end(), '\r', '\n');
  return line;
}

ParsedRecord parsed(const std::string& line, uint32_t version) {
  const xoltlog::RecordLineParse parse = parse_record_line(line, version);
  EXPECT_TRUE(parse.record) << parse.error.reason << " at " << parse.error.offset << " in " << line;
  return parse.record.value_or(ParsedRecord{});
}

// A line read back through the exported reader and written again; the
// record is released as a caller would release it.
std::string rewritten(const std::string& line, uint32_t version) {
  XoltLogMsg msg;
  XoltLogParseError error{};
  const std::string read = as_read(line);
  const uint32_t result = xoltLogMsgParse(read.data(), read.size(), version, &msg, &error);
  EXPECT_EQ(result, XOLTLOG_OK) << error.reason << " at " << error.offset << " in " << line;
  if (result != XOLTLOG_OK) {
    return "";
  }
  EXPECT_EQ(std::tuple(msg.owns_strings, msg.utf8, msg.record_version),
            std::tuple(1u, 1u, version));
  const std::string again = line_of(msg);
  EXPECT_EQ(xoltLogFreeMsg(&msg), XOLTLOG_OK);
  return again;
}

// The result of the exported reader on a line that must be refused, with the
// record checked to be left zeroed.
uint32_t refusal_of(std::string_view line, XoltLogParseError& error,
                    uint32_t version = XOLTLOG_RECORD_VERSION) {
  XoltLogMsg msg;
  std::memset(&msg, 0xA5, sizeof msg);
  const uint32_t result = xoltLogMsgParse(line.data(), line.size(), version, &msg, &error);
  const XoltLogMsg zero{};
  EXPECT_EQ(std::memcmp(&msg, &zero, sizeof msg), 0) << line;
  return result;
}

std::string utf8_of(const std::wstring& wide) {
  char* converted = nullptr;
  EXPECT_EQ(wcs2utf8(&converted, wide.c_str()), XOLTLOG_OK);
  const xoltlog::BlockPtr<char> owner(converted);
  return converted == nullptr ? "" : converted;
}

void expect_arguments(const XoltRirMsg& msg, const ParsedArgumentList& list);

// Wide text comes back in its UTF-8 form, both error widths as type 6, and
// doubles as "%f" printed them.
void expect_argument(const XoltRirArgNode& node, const ParsedArgument& arg) {
  const XoltRirFirstValue& first = node.value.first;
  const XoltRirSecondValue& second = node.value.second;
  EXPECT_EQ(arg.type, node.type == XOLT_RIR_ARG_OS_ERROR64 ? XOLT_RIR_ARG_OS_ERROR : node.type);
  char printed[400];
  switch (node.type) {
    case XOLT_RIR_ARG_WCHAR:
      EXPECT_EQ(arg.bytes, first.wide_char == 0 ? "" : utf8_of({first.wide_char}));
      break;
    case XOLT_RIR_ARG_WSTRING:
      EXPECT_EQ(arg.bytes, utf8_of(first.wide_string));
      break;
    case XOLT_RIR_ARG_UTF8STRING:
    case XOLT_RIR_ARG_NATIVESTRING:
      EXPECT_EQ(arg.bytes, first.string);
      break;
    case XOLT_RIR_ARG_DOUBLE:
      std::snprintf(printed, sizeof printed, "%f", first.number_double);
      EXPECT_EQ(arg.number_double, std::strtod(printed, nullptr));
      break;
    case XOLT_RIR_ARG_RIR:
      expect_arguments(*first.rir, arg.nested);
      break;
    case XOLT_RIR_ARG_ULONGLONG:
      EXPECT_EQ(std::tuple(arg.width, arg.unsigned_number),
                std::tuple(first.width, second.unsigned_number));
      break;
    case XOLT_RIR_ARG_POINTER:
      EXPECT_EQ(std::tuple(arg.width, arg.unsigned_number), std::tuple(64u, first.number));
      break;
    case XOLT_RIR_ARG_DATETIME:
      EXPECT_EQ(std::tuple(arg.width, arg.signed_number), std::tuple(64u, first.time));
      break;
    default:  // signed numbers and both errors
      EXPECT_EQ(std::tuple(arg.width, arg.signed_number),
                std::tuple(first.width, second.signed_number));
  }
}

void expect_arguments(const XoltRirMsg& msg, const ParsedArgumentList& list) {
  EXPECT_EQ(list.id, msg.id);
  const std::vector<const XoltRirArgNode*> nodes = rir_test::nodes_of(msg);
  ASSERT_EQ(list.arguments.size(), nodes.size());
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    expect_argument(*nodes[i], list.arguments[i]);
  }
}

// A catalog message with every argument type, nested lists among them, and
// strings full of the line's own separators.
class RoundTrip : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(rir_test::build_ex(empty_.get(), 0, 1, ""), XOLT_RIR_OK);
    ASSERT_EQ(rir_test::build_ex(inner_.get(), 0, 2, "%s%{rir}%d", "(9|S1:x|),", empty_.get(), -7),
              XOLT_RIR_OK);
    ASSERT_EQ(
        rir_test::build_ex(catalog_.get(), 0, 4242,
                           "%lc%lc%lld%hu%llu%f%p%ls%{oserr}%{oserr64}%{time}%{rir}"
                           "%{utf8}%s%lc%{rir}",
                           static_cast<wint_t>(L'|'), static_cast<wint_t>(0x1F600),
                           -9223372036854775807LL - 1, static_cast<unsigned short>(65535),
                           18446744073709551615ULL, -1234.5678915, static_cast<void*>(this),
                           L"w\u00e9,:|()\n", -5, int64_t{-1}, int64_t{-86400}, inner_.get(),
                           "caf\xc3\xa9 a|b\n", "S3:abc|", static_cast<wint_t>(0), empty_.get()),
        XOLT_RIR_OK);
  }

  void expect_round_trip(const XoltLogMsg& msg) {
    const ParsedRecord record = parsed(as_read(line_of(msg)), msg.record_version);
    const bool full = msg.record_version == XOLTLOG_RECORD_VERSION;  // logsets lack two ids
    EXPECT_EQ(std::tuple(record.type, record.product_id, record.originator_id,
                         record.file_originator, record.sequence, record.timestamp_ms),
              std::tuple(msg.type, full ? msg.product_id : 0u, msg.originator_id,
                         full ? msg.file_originator : 0u, msg.sequence, msg.timestamp_ms));
    const auto text = [](const char* s) { return std::string(s == nullptr ? "" : s); };
    EXPECT_EQ(std::tuple(record.process_id, record.thread_id, record.context_token, record.text),
              std::tuple(msg.process_id, msg.thread_id, text(msg.context_token), text(msg.text)));
    if (msg.type == XOLTLOG_MSG_CONTEXT) {
      EXPECT_EQ(record.attribute, msg.attr.context_attr);
      EXPECT_EQ(record.number, 0);
    } else {
      EXPECT_EQ(record.attribute, msg.who_or_subject);
      EXPECT_EQ(record.number,
                msg.type == XOLTLOG_MSG_AUDIT ? static_cast<int32_t>(msg.outcome) : msg.attr.level);
    }
    ASSERT_EQ(record.arguments.has_value(), msg.type != XOLTLOG_MSG_DEBUG);
    if (record.arguments) {
      expect_arguments(msg.rir, *record.arguments);
    }
  }

  OwnedMsg empty_;
  OwnedMsg inner_;
  OwnedMsg catalog_;
};

TEST_F(RoundTrip, EveryMessageTypeInBothVersionsComesBack) {
  char context_title[] = "title, with: (0|) bars\n";
  const char* texts[] = {nullptr, "", "a,b:c|d(e)f\n)\n(0|)\nS3:x|,"};
  for (const uint32_t version : {XOLTLOG_RECORD_VERSION, XOLTLOG_RECORD_VERSION_LOGSET}) {
    for (uint32_t type = XOLTLOG_MSG_DEBUG; type <= XOLTLOG_MSG_AUDIT; ++type) {
      for (const char* text : texts) {
        SCOPED_TRACE(testing::Message() << version << " type " << type << " text " << !!text);
        XoltLogMsg msg = header_record(type, 4294967295u, -1684318830123, version);
        msg.product_id = 4294967295u;
        msg.context_token = msg.text = borrowed(text);
        msg.who_or_subject = borrowed("who,:|()\n");
        msg.rir = *catalog_;
        if (type == XOLTLOG_MSG_CONTEXT) {
          msg.attr.context_attr = context_title;
        } else if (type == XOLTLOG_MSG_AUDIT) {
          msg.outcome = 0xFFFFFFFEu;
        } else {
          msg.attr.level = type == XOLTLOG_MSG_APP ? 4 : -3;
        }
        expect_round_trip(msg);
      }
    }
  }
}

// Every message type with a record line, both versions, every argument
// type: the record read back writes the same line, and its catalog message
// has the line's argument types (both error types as 6).
TEST_F(RoundTrip, ExportedReaderGivesRecordsThatWriteTheSameLine) {
  char title[] = "title, with: (0|) bars\n";
  for (const uint32_t version : {XOLTLOG_RECORD_VERSION, XOLTLOG_RECORD_VERSION_LOGSET}) {
    for (uint32_t type = XOLTLOG_MSG_DEBUG; type <= XOLTLOG_MSG_AUDIT; ++type) {
      for (const char* text : {static_cast<const char*>(nullptr), "a,b:c|\n)(0|)\r\xc3\xa9"}) {
        SCOPED_TRACE(testing::Message() << version << " type " << type << " text " << !!text);
        XoltLogMsg msg = header_record(type, 4294967295u, -1684318830123, version);
        msg.context_token = msg.text = borrowed(text);
        msg.who_or_subject = borrowed(text == nullptr ? nullptr : "who,:|()\n");
        msg.rir = *catalog_;
        if (type == XOLTLOG_MSG_CONTEXT) {
          msg.attr.context_attr = title;
        } else {
          msg.attr.level = type == XOLTLOG_MSG_APP ? 4 : -3;
        }
        msg.outcome = 0xFFFFFFFEu;
        const std::string line = line_of(msg);
        EXPECT_EQ(rewritten(line, version), line);
      }
    }
  }
  XoltLogMsg msg = header_record(XOLTLOG_MSG_DIAG, 1, 2);
  msg.rir = *catalog_;
  const std::string line = line_of(msg);
  XoltLogMsg read;
  ASSERT_EQ(xoltLogMsgParse(line.data(), line.size(), msg.record_version, &read, nullptr), 0u);
  std::vector<int32_t> want, got;
  for (const XoltRirArgNode* node : rir_test::nodes_of(*catalog_)) {
    want.push_back(node->type == XOLT_RIR_ARG_OS_ERROR64 ? XOLT_RIR_ARG_OS_ERROR : node->type);
  }
  for (const XoltRirArgNode* node : rir_test::nodes_of(read.rir)) {
    got.push_back(node->type);
  }
  EXPECT_EQ(got, want);
  xoltLogFreeMsg(&read);
  // Doubles whose printed form is not a plain decimal fraction.
  OwnedMsg doubles;
  ASSERT_EQ(rir_test::build_ex(doubles.get(), 0, 5, "%f%f%f%f%f%f", HUGE_VAL, -HUGE_VAL,
                               std::nan(""), -0.0, 1e300, 5e-324),
            XOLT_RIR_OK);
  msg.rir = *doubles;
  const std::string double_line = line_of(msg);
  EXPECT_EQ(rewritten(double_line, msg.record_version), double_line);
}

// What the exported reader refuses beyond the parser's own refusals, and
// where it says it stopped.
TEST(RecordParser, ExportedReaderRefusesDamagedLinesAndSaysWhere) {
  using namespace std::string_view_literals;
  const std::string head = "2,5,7,7,12,1684318830123,4321,8765,0:,9:Disk full,3:svc,2,(0|";
  const std::tuple<std::string, std::size_t> lines[] = {
      {std::string("2,5,7,7,12,1684318830123,4321,8765,0:,9:Disk\0full,3:svc,2,(0|)"sv), 44},
      {head + "A2:\xff\xfe|)", head.size()},
      {head + "i8:1|12:ab|)", head.size() + 5},
      {head + "S3:abc|11:\x80|)", head.size() + 7},
      {head + "S18446744073709551615:x|)", head.size() + 22},
      {head + "S99999999999999999999999:x|)", head.size() + 1},
      {"5,5,7,7,12,1684318830123,4321,8765,0:,0:,0:,2,(0|)", 41},
  };
  for (const auto& [line, offset] : lines) {
    XoltLogParseError error{};
    EXPECT_EQ(refusal_of(line, error), XOLTLOG_E_FAILED) << line;
    EXPECT_EQ(error.offset, offset) << line;
    EXPECT_NE(error.reason, nullptr);
  }
  XoltLogMsg msg{};
  XoltLogParseError error{7, "stale"};
  EXPECT_EQ(xoltLogMsgParse(nullptr, 0, XOLTLOG_RECORD_VERSION, &msg, &error),
            XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(xoltLogMsgParse("0", 1, XOLTLOG_RECORD_VERSION, nullptr, nullptr),
            XOLTLOG_E_INVALID_ARG);
  EXPECT_EQ(std::tuple(error.offset, error.reason), std::tuple(0u, nullptr));
}

TEST(RecordParser, MalformedLinesAreRefused) {
  const std::string head = "2,5,7,7,12,1684318830123,4321,8765,0:,9:Disk full,3:svc,";
  const char* tails[] = {"2,(0|),",     "2,(0|)\n\n",    "5,(0|)",          "22,(0|)",
                         "-2,(0|)",     "2,(0|Z|)",      "2,(0|(1|))",      "2,(0|S2:a|)",
                         "2,(0|S9:a|)", "2,(0|u32:-1|)", "2,(0|15:abcde|)", "2,(0|8abc|)",
                         "2,(0|81e5|)", "2,(0|i32:1)",   "2,(4294967296|)", "2(0|)"};
  for (const char* tail : tails) {
    EXPECT_FALSE(parse_record_line(head + tail, XOLTLOG_RECORD_VERSION).record) << tail;
  }
  const char* lines[] = {
      "+2,5,7,7,12,1684318830123,4321,8765,0:,0:,0:,2,(0|)",
      "4294967296,5,7,7,12,1684318830123,4321,8765,0:,0:,0:,2,(0|)",
      "5,5,7,7,12,1684318830123,4321,8765,0:,0:,0:,2,(0|)",
      "2,5,7,7,12,1684318830123,4321,8765,0:,10:Disk full,3:svc,2,(0|)",
      "2,5,7,7,12,1684318830123,4321,8765,0:,9:Disk full3:svc,2,(0|)",
      "0,5,7,7,14,1684318830789,4321,8766,0:,0:,4:main,3,",
      // A logset line read as an ordinary one.
      "2,7,12,1684318830123,4321,8765,0:,9:Disk full,3:svc,2,(0|)",
  };
  for (const char* line : lines) {
    EXPECT_FALSE(parse_record_line(line, XOLTLOG_RECORD_VERSION).record) << line;
  }
  // Lines without a numeric header cannot be read.
  EXPECT_FALSE(parse_record_line("0:,1:t,1:w,0,(0|)", 0x10006).record);
}

// Every proper prefix of a line that ends with its argument list is
// incomplete. Each prefix sits in a heap block of its exact size, so that a
// read past its end is caught. The line without its line feed is complete,
// its strings read as they stand: only the reader turns carriage returns back.
TEST_F(RoundTrip, TruncatedLinesFailWithoutReadingPastTheirEnd) {
  XoltLogMsg msg = header_record(XOLTLOG_MSG_AUDIT, 1, 2);
  msg.text = borrowed("te\nxt");
  msg.who_or_subject = borrowed("subject");
  msg.rir = *catalog_;
  const std::string line = line_of(msg);
  for (std::size_t size = 0; size + 1 < line.size(); ++size) {
    const auto prefix = std::make_unique<char[]>(size == 0 ? 1 : size);
    std::memcpy(prefix.get(), line.data(), size);
    const xoltlog::RecordLineParse parse =
        parse_record_line(std::string_view(prefix.get(), size), XOLTLOG_RECORD_VERSION);
    ASSERT_FALSE(parse.record) << size;
    EXPECT_LE(parse.error.offset, size);
    EXPECT_FALSE(parse.error.reason.empty());
    XoltLogParseError error{};
    EXPECT_EQ(refusal_of({prefix.get(), size}, error), XOLTLOG_E_FAILED) << size;
    EXPECT_EQ(error.offset, parse.error.offset);
  }
  EXPECT_EQ(parsed(line.substr(0, line.size() - 1), XOLTLOG_RECORD_VERSION).text, "te\rxt");
}

// Both sides stop at one depth: what the serializer writes the parser
// reads back, and a message one level deeper (or one that holds itself) is
// refused with 3 before a line is written that no reader would take.
TEST(RecordParser, NestingLimitIsSharedWithTheSerializer) {
  const auto nested_line = [](int depth) {
    std::string opening, closing;
    for (int i = 0; i < depth; ++i) {
      opening += "(" + std::to_string(i + 1) + "|";
      closing += ",)";
    }
    return "2,5,7,7,1,2,3,4,0:,0:,0:,0," + opening + "(" + std::to_string(depth + 1) + "|)" +
           closing;
  };
  const auto record_of = [](const XoltRirMsg& rir) {
    XoltLogMsg msg = header_record(XOLTLOG_MSG_APP, 1, 2);
    msg.process_id = 3;
    msg.thread_id = 4;
    msg.rir = rir;
    return msg;
  };
  const rir_test::NestedChain deepest(XOLT_RIR_MAX_NESTING);
  const std::string line = line_of(record_of(deepest.top()));
  EXPECT_EQ(line, nested_line(XOLT_RIR_MAX_NESTING) + "\n");
  const xoltlog::RecordLineParse read = parse_record_line(line, XOLTLOG_RECORD_VERSION);
  ASSERT_TRUE(read.record) << read.error.reason;
  int depth = 0;
  for (const ParsedArgumentList* list = &*read.record->arguments; !list->arguments.empty();
       list = &list->arguments.front().nested) {
    ++depth;
  }
  EXPECT_EQ(depth, XOLT_RIR_MAX_NESTING);
  EXPECT_EQ(rewritten(line, XOLTLOG_RECORD_VERSION), line);

  const rir_test::NestedChain too_deep(XOLT_RIR_MAX_NESTING + 1);
  XoltRirArgNode loop{XOLT_RIR_ARG_RIR, {}, nullptr};
  const XoltRirMsg itself{1, &loop};
  loop.value.first.rir = &itself;
  for (const XoltRirMsg* refused : {&too_deep.top(), &itself}) {
    const record_test::Serialized out = record_test::serialize(record_of(*refused));
    EXPECT_EQ(out.result, XOLTLOG_E_INVALID_ARG);
    EXPECT_TRUE(out.buffer_left_inline);
  }
  for (int deeper : {XOLT_RIR_MAX_NESTING + 1, 100000}) {
    const xoltlog::RecordLineParse parse =
        parse_record_line(nested_line(deeper), XOLTLOG_RECORD_VERSION);
    EXPECT_FALSE(parse.record) << deeper;
    EXPECT_EQ(parse.error.reason, "argument lists nested too deeply");
    XoltLogParseError error{};
    EXPECT_EQ(refusal_of(nested_line(deeper), error), XOLTLOG_E_FAILED);
    EXPECT_STREQ(error.reason, "argument lists nested too deeply");
  }
}

}  // namespace
