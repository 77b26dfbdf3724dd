// The --where language: where a bad expression is reported, how operators
// bind, what every field compares, the tree handed to the library, and the
// time texts.
#include "cli/where.h"

#include <gtest/gtest.h>

#include <string>

#include "support/time_zone.h"

namespace xoltlog::tool {
namespace {

constexpr std::int64_t kNow = 1773480000;  // 2026-03-14 09:20:00 UTC

std::uint32_t resolve(std::int32_t code, const std::string& name) {
  if (code == XOLTLOG_QUERY_PRODUCT) return name == "p12" ? 12 : 0;
  return name == "worker" ? 3 : 0;
}

WhereQuery parse(const std::string& text, WhereQuery::Scope scope = WhereQuery::Scope::kRecords) {
  return WhereQuery::parse(text, scope, resolve, kNow);
}

RecordFields sample_record() {
  RecordFields r;
  r.kind = RecordKind::kApp;
  r.severity = 1;
  r.who = "svc";
  r.text = "disk full on /var";
  r.context = "job-7";
  r.pid = 100;
  r.tid = 200;
  r.time = kNow;
  r.product = 12;
  r.originator = 3;
  r.host = "alpha";
  r.logset = "";
  r.start = kNow - 3600;
  return r;
}

TEST(WhereErrors, PointAtTheOffendingColumn) {
  struct Case {
    const char* text;
    std::size_t column;  // 1-based
    const char* says;
    WhereQuery::Scope scope = WhereQuery::Scope::kRecords;
  };
  const Case cases[] = {
      {"product = ", 11, "expected a value"},
      {"colour = red", 1, "unknown field"},
      {"host < alpha", 6, "compared with =, != or ~"},
      {"pid ~ 12", 5, "not text"},
      {"product = 3 host = a", 13, "expected 'and', 'or'"},
      {"(host = a or host = b", 22, "expected ')'"},
      {"host = \"alpha", 8, "unterminated quoted text"},
      {"text ~ /(a/", 8, "bad regular expression"},
      {"text ~ /abc", 8, "unterminated regular expression"},
      {"time >= yesterday", 9, "not a time"},
      {"kind = warning", 8, "app, diag, debug"},
      {"level = high", 9, "a number"},
      {"severity > 3 and", 17, "expected a field name"},
      {"who ! svc", 5, "'!' alone"},
      {"product = nosuch", 11, "no product is named 'nosuch'"},
      {"originator = boss", 14, "no originator"},
      {"host = a and not", 17, "expected a field name"},
      {"kind = app", 1, "filters records", WhereQuery::Scope::kFiles},
      {"host = a or text ~ x", 13, "filters records", WhereQuery::Scope::kFiles},
      {"pid 12", 5, "expected an operator"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      parse(c.text, c.scope);
      ADD_FAILURE() << "parsed";
    } catch (const WhereError& error) {
      EXPECT_EQ(error.column() + 1, c.column);
      EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << error.what();
      EXPECT_EQ(error.not_found(), std::string(c.says).rfind("no ", 0) == 0);
    }
  }
}

TEST(WhereErrors, NestingAndSizeAreBounded) {
  EXPECT_THROW(parse(std::string(100, '(') + "pid = 1" + std::string(100, ')')), WhereError);
  std::string chain = "pid = 0";
  for (int i = 1; i <= 1000; ++i) chain += " or pid = " + std::to_string(i);
  EXPECT_THROW(parse(chain), WhereError);
}

TEST(WhereErrors, DescriptionPutsACaretUnderTheColumn) {
  try {
    parse("pid >=");
    FAIL();
  } catch (const WhereError& error) {
    EXPECT_EQ(describe_where_error("pid >=", error),
              "column 7: expected a value after '>='\n    pid >=\n          ^");
  }
}

TEST(WhereRecords, OperatorsBindAndEveryFieldCompares) {
  struct Case {
    const char* text;
    bool matches;
  };
  const Case cases[] = {
      {"", true},
      {"pid = 100 or pid = 1 and tid = 1", true},   // and binds tighter
      {"(pid = 1 or pid = 100) and tid = 200", true},
      {"not pid = 100 or pid = 100", true},         // not binds tightest
      {"not (pid = 100 and tid = 200)", false},
      {"NOT PID != 100 AND Tid >= 200", true},      // keywords and fields in any case
      {"kind = app and kind != audit", true},
      {"kind = 2", true},
      {"severity = warning and severity < error and severity >= 1", true},
      {"level = 1 or level != 1", false},           // an app record has no level
      {"who = svc and who != \"svc \"", true},
      {"text ~ 'full on' and not text ~ FULL", true},
      {"text ~ /^disk +full/ and text ~ /var$/", true},
      {"text = \"disk full on /var\"", true},
      {"context = job-7 and context ~ /-[0-9]$/", true},
      {"pid > 99 and pid <= 100 and tid < 201", true},
      {"product = p12 and product = 12 and originator = worker", true},
      {"originator > 3", false},
      {"host = alpha and logset = \"\"", true},
      {"time = @1773480000 and time > -1h and time <= now", true},
      {"start = \"2026-03-14 08:20:00Z\" and start < -59m", true},
      {"time >= \"2026-03-14T09:20:01+00:00\"", false},
  };
  const RecordFields record = sample_record();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parse(c.text).matches(record), c.matches);
  }
}

TEST(WhereFiles, TimeHoldsWhenSomeMomentOfTheFileDoes) {
  const FileFields file{12, 3, "alpha", "nightly", 1000, 2000};
  struct Case {
    const char* text;
    bool matches;
  };
  const Case cases[] = {
      {"time = @1500", true},   {"time = @2001", false}, {"time < @1001", true},
      {"time < @1000", false},  {"time >= @2000", true}, {"time > @2000", false},
      {"time != @1500", true},  {"start = @1000", true}, {"not time > @1500", false},
      {"logset = nightly and host != beta", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parse(c.text, WhereQuery::Scope::kFiles).matches(file), c.matches);
  }
}

TEST(WhereFiles, RecordQueriesSkipOnlyFilesNoRecordOfCanMatch) {
  const FileFields file{12, 3, "alpha", "", 1000, 2000};
  struct Case {
    const char* text;
    bool may_match;
  };
  const Case cases[] = {
      {"kind = app", true},
      {"host = beta and kind = app", false},
      {"host = beta or kind = app", true},
      {"not (host = alpha and pid = 1)", true},
      {"not host = alpha", false},
      {"originator = 9 and time < @10", true},  // a record's own originator and time
      {"product = 13 or (product = 12 and not host = alpha)", false},
      {"start > @1000 and text ~ x", false},
      {"logset = \"\" and (severity = error or who = svc)", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parse(c.text).may_match_records_of(file), c.may_match);
  }
}

std::string render(const XoltLogQueryNode* node) {
  if (node == nullptr) return "";
  switch (node->kind) {
    case XOLTLOG_QUERY_FIELD: return "f" + std::to_string(node->value.number);
    case XOLTLOG_QUERY_NUMBER: return std::to_string(node->value.number);
    case XOLTLOG_QUERY_STRING: return std::string("'") + node->value.text + "'";
    default:
      return "(" + render(node->left) + " " + std::to_string(node->kind) + " " +
             render(node->right) + ")";
  }
}

TEST(WhereLibraryTree, KeepsOnlyWhatTheLibraryDecidesAlike) {
  struct Case {
    const char* text;
    const char* tree;
  };
  const Case cases[] = {
      {"", ""},
      {"product = 12", "(f263 287 12)"},
      {"product = 12 and originator = 3", "(f263 287 12)"},
      {"product = 12 and host = alpha", "((f263 287 12) 281 (f278 287 'alpha'))"},
      {"product = 12 or originator = 3", ""},
      {"host = a or host = b", "((f278 287 'a') 282 (f278 287 'b'))"},
      {"not product = 12", "(f263 288 12)"},
      {"not (product < 12 or host = a)", "((f263 286 12) 281 (f278 288 'a'))"},
      {"not (product = 1 and text ~ x)", ""},
      {"host ~ alp", ""},
      {"logset = nightly", "(f279 287 'nightly')"},
      {"logset != nightly", ""},
      {"time >= @5000", "(f268 286 5000)"},
      {"time < @5000", "(f268 283 5300)"},  // records stamped just before their file
      {"time = @5000 and start <= @7000", "(f269 285 7000)"},
      {"not time > @5000", ""},
      {"kind = app and pid = 3", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const WhereQuery query = parse(c.text);
    EXPECT_EQ(render(query.file_tree()), c.tree);
    EXPECT_EQ(query.uses_host(), std::string(c.tree).find("f278") != std::string::npos);
  }
}

TEST(WhereTimes, LocalZonesOffsetsAndRelativeTimes) {
  const test::ScopedTimeZone zone(test::kCentralEurope);
  struct Case {
    const char* text;
    std::optional<std::int64_t> time;
  };
  const Case cases[] = {
      {"2026-03-14 10:20", kNow},            // CET, one hour east
      {"2026-03-14T10:20:00", kNow},
      {"2026-07-01 02:00", 1782864000},      // CEST, two hours east
      {"2026-03-14", kNow - 37200},          // local midnight
      {"2026-03-14 09:20Z", kNow},
      {"2026-03-14 09:20 UTC", kNow},
      {"2026-03-14 11:20:00+02:00", kNow},
      {"2026-03-14 04:20-0500", kNow},
      {"2026-03-14 14:50 GMT+5:30", kNow},
      {"@1773480000", kNow},
      {"now", kNow},
      {"-90s", kNow - 90},
      {"-15m", kNow - 900},
      {"-2h", kNow - 7200},
      {"-1d", kNow - 86400},
      {"-1w", kNow - 604800},
      {"2026-13-01", std::nullopt},
      {"2026-02-29", std::nullopt},
      {"2028-02-29 00:00Z", 1835395200},
      {"2026-03-14 25:00", std::nullopt},
      {"2026-03-14 10:20 +15:00", std::nullopt},
      {"2026-03-14 10:20 CET", std::nullopt},
      {"-1y", std::nullopt},
      {"14.03.2026", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parse_time_text(c.text, kNow), c.time);
  }
}

}  // namespace
}  // namespace xoltlog::tool
