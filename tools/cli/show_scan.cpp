#include "cli/show_scan.h"

#include <charconv>
#include <cstring>

namespace xoltlog::tool {
namespace {

// Reads the line front to back; any mismatch makes ok false for good.
class Scanner {
 public:
  explicit Scanner(std::string_view line) : at_(line.data()), end_(line.data() + line.size()) {}

  bool ok() const { return ok_; }
  bool at_end() const { return at_ == end_; }

  template <typename Number>
  Scanner& number(Number& value) {
    if (ok_) {
      const auto [next, error] = std::from_chars(at_, end_, value);
      ok_ = error == std::errc();
      at_ = next;
    }
    return *this;
  }
  Scanner& expect(char c) {
    ok_ = ok_ && at_ != end_ && *at_ == c;
    if (ok_) ++at_;
    return *this;
  }
  Scanner& expect(std::string_view text) {
    ok_ = ok_ && static_cast<std::size_t>(end_ - at_) >= text.size() &&
          std::memcmp(at_, text.data(), text.size()) == 0;
    if (ok_) at_ += text.size();
    return *this;
  }
  // "N:<N bytes>,".
  Scanner& string_field(std::string_view& out) {
    std::uint64_t count = 0;
    number(count).expect(':');
    ok_ = ok_ && count < static_cast<std::uint64_t>(end_ - at_);
    if (ok_) {
      out = std::string_view(at_, static_cast<std::size_t>(count));
      at_ += count;
    }
    return expect(',');
  }
  // The application severity: one digit 0 to 4 and its comma.
  Scanner& severity(std::int32_t& out) {
    ok_ = ok_ && at_ != end_ && *at_ >= '0' && *at_ <= '4';
    if (ok_) out = *at_++ - '0';
    return expect(',');
  }

 private:
  const char* at_;
  const char* end_;
  bool ok_ = true;
};

bool scan_header(Scanner& in, std::uint32_t record_version, RecordView& view) {
  std::uint32_t file_originator = 0;
  in.number(view.type).expect(',');
  if (record_version == XOLTLOG_RECORD_VERSION) in.number(view.product).expect(',');
  in.number(view.originator).expect(',');
  if (record_version == XOLTLOG_RECORD_VERSION) in.number(file_originator).expect(',');
  in.number(view.sequence).expect(',').number(view.timestamp_ms).expect(',');
  in.number(view.pid).expect(',').number(view.tid).expect(',');
  return in.ok();
}

}  // namespace

bool scan_plain_record(std::string_view line, std::uint32_t record_version, RecordView& view) {
  if (record_version != XOLTLOG_RECORD_VERSION && record_version != XOLTLOG_RECORD_VERSION_LOGSET) {
    return false;
  }
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  view = RecordView{};
  Scanner in(line);
  if (!scan_header(in, record_version, view)) return false;
  in.string_field(view.context).string_field(view.text).string_field(view.who);
  switch (view.type) {
    case XOLTLOG_MSG_DEBUG: in.number(view.number); break;
    case XOLTLOG_MSG_DIAG:
    case XOLTLOG_MSG_AUDIT: in.number(view.number).expect(",(0|)"); break;
    case XOLTLOG_MSG_APP: in.severity(view.number).expect("(0|)"); break;
    case XOLTLOG_MSG_CONTEXT: in.expect("(0|)"); break;
    default: return false;
  }
  return in.ok() && in.at_end();
}

RecordView view_of(const XoltLogMsg& msg) {
  RecordView view;
  view.type = msg.type;
  view.product = msg.product_id;
  view.originator = msg.originator_id;
  view.sequence = msg.sequence;
  view.timestamp_ms = msg.timestamp_ms;
  view.pid = msg.process_id;
  view.tid = msg.thread_id;
  if (msg.context_token != nullptr) view.context = msg.context_token;
  if (msg.text != nullptr) view.text = msg.text;
  const char* who = msg.type == XOLTLOG_MSG_CONTEXT ? msg.attr.context_attr : msg.who_or_subject;
  if (who != nullptr) view.who = who;
  view.number = msg.type == XOLTLOG_MSG_AUDIT  ? static_cast<std::int32_t>(msg.outcome)
                : msg.type == XOLTLOG_MSG_APP ? static_cast<std::int32_t>(msg.attr.severity)
                                              : msg.attr.level;
  view.catalog_id = msg.rir.id;
  return view;
}

}  // namespace xoltlog::tool
