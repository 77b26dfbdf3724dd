#include "platform/posix/syslog_datagram.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace xoltlog::platform::posix {
namespace {

constexpr int kSeverityErr = 3;
constexpr int kSeverityWarning = 4;
constexpr int kSeverityNotice = 5;
constexpr int kSeverityInfo = 6;
constexpr char32_t kReplacement = 0xFFFD;

// Appends to a bounded buffer; whatever does not fit whole is left out, and
// once something has been left out nothing more is taken, so the text is
// cut at one place only.
class Datagram {
 public:
  Datagram(char* out, std::size_t capacity) noexcept
      : out_(out), capacity_(std::min(capacity, kMaxSyslogDatagram)) {}

  void append(std::string_view text) noexcept {
    if (full_ || text.size() > capacity_ - length_) {
      full_ = true;
      return;
    }
    std::memcpy(out_ + length_, text.data(), text.size());
    length_ += text.size();
  }

  // One character of an insertion string, made safe (see the header).
  void append_character(wchar_t wide) noexcept {
    const auto code = static_cast<std::uint32_t>(wide);
    if (code < 0x20 || (code >= 0x7F && code < 0xA0)) {
      std::array<char, 8> escaped{};
      std::snprintf(escaped.data(), escaped.size(), "#%03o", static_cast<unsigned>(code));
      append(escaped.data());
      return;
    }
    const bool scalar = code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    append_utf8(scalar ? code : kReplacement);
  }

  std::size_t length() const noexcept { return length_; }

 private:
  void append_utf8(std::uint32_t code) noexcept {
    const std::size_t count = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    constexpr std::array<unsigned, 5> kLeadBits = {0, 0x00, 0xC0, 0xE0, 0xF0};
    std::array<char, 4> bytes{};
    for (std::size_t index = count - 1; index > 0; --index) {
      bytes[index] = static_cast<char>(0x80 | (code & 0x3F));
      code >>= 6;
    }
    bytes[0] = static_cast<char>(kLeadBits[count] | code);
    append(std::string_view(bytes.data(), count));
  }

  char* out_;
  std::size_t capacity_;
  std::size_t length_ = 0;
  bool full_ = false;
};

constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void append_header(Datagram& datagram, const EventReport& report, std::string_view tag,
                   const std::tm& time, std::uint32_t pid) {
  const int month = time.tm_mon >= 0 && time.tm_mon < 12 ? time.tm_mon : 0;
  std::array<char, 64> stamp{};
  std::snprintf(stamp.data(), stamp.size(), "<%d>%s %2d %02d:%02d:%02d ",
                syslog_priority(report.type), kMonths[static_cast<std::size_t>(month)],
                time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
  datagram.append(stamp.data());
  datagram.append(tag);
  std::array<char, 96> rest{};
  std::snprintf(rest.data(), rest.size(), "[%u]: [event=%u category=%u type=%u]",
                static_cast<unsigned>(pid), static_cast<unsigned>(report.event_id),
                static_cast<unsigned>(report.category), static_cast<unsigned>(report.type));
  datagram.append(rest.data());
}

}  // namespace

int syslog_priority(std::uint16_t event_type) noexcept {
  switch (event_type) {
    case kEventError:
      return kFacilityUser * 8 + kSeverityErr;
    case kEventWarning:
      return kFacilityUser * 8 + kSeverityWarning;
    case kEventAuditSuccess:
      return kFacilityAuthpriv * 8 + kSeverityNotice;
    case kEventAuditFailure:
      return kFacilityAuthpriv * 8 + kSeverityWarning;
    default:
      return kFacilityUser * 8 + kSeverityInfo;
  }
}

void make_syslog_tag(char* name) noexcept {
  for (char* at = name; *at != '\0'; ++at) {
    const auto byte = static_cast<unsigned char>(*at);
    if (byte <= 0x20 || byte == 0x7F || byte == '[' || byte == ']' || byte == ':') {
      *at = '_';
    }
  }
}

std::size_t format_syslog_datagram(const EventReport& report, std::string_view tag,
                                   const std::tm& local_time, std::uint32_t pid, char* out,
                                   std::size_t capacity) noexcept {
  Datagram datagram(out, capacity);
  append_header(datagram, report, tag, local_time, pid);
  for (std::size_t index = 0; index < report.string_count; ++index) {
    datagram.append(index == 0 ? " " : " | ");
    const wchar_t* text = report.strings[index];
    for (; text != nullptr && *text != L'\0'; ++text) {
      datagram.append_character(*text);
    }
  }
  return datagram.length();
}

}  // namespace xoltlog::platform::posix
