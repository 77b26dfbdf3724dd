#include "message/record_from_line.h"

#include <climits>
#include <cstring>
#include <string>

#include "frame/boundary.h"
#include "platform/heap.h"
#include "message/record.h"
#include "platform/text_convert.h"
#include "xoltlog/rir.h"

namespace xoltlog {
namespace {

// The serializer writes C strings only, so a NUL byte anywhere marks a
// damaged line; the record's strings could not hold it either.
constexpr std::string_view kNulByte = "NUL byte in the line";
constexpr std::string_view kNotWide = "wide argument that is not well-formed UTF-8";
constexpr std::string_view kNotOneChar = "wide character argument that is not one character";
constexpr std::string_view kRirRefused = "argument refused by the catalog library";

// Releases the record being filled unless it was completed.
class RecordOwner {
 public:
  explicit RecordOwner(XoltLogMsg& msg) noexcept : msg_(msg) {}
  ~RecordOwner() {
    if (!kept_) {
      free_record(msg_);
    }
  }
  RecordOwner(const RecordOwner&) = delete;
  RecordOwner& operator=(const RecordOwner&) = delete;
  void keep() noexcept { kept_ = true; }

 private:
  XoltLogMsg& msg_;
  bool kept_ = false;
};

std::uint32_t owned_copy(const std::string& bytes, bool keep_empty, char*& out) noexcept {
  if (bytes.empty() && !keep_empty) {
    return XOLTLOG_OK;
  }
  auto* copy = static_cast<char*>(allocate(bytes.size() + 1));
  if (copy == nullptr) {
    return XOLTLOG_E_NO_MEMORY;
  }
  std::memcpy(copy, bytes.data(), bytes.size());
  copy[bytes.size()] = '\0';
  out = copy;
  return XOLTLOG_OK;
}

// Builds a catalog message from a parsed argument list through the catalog
// library, which owns and releases the nodes; nested lists are filled in
// place, so every argument is copied once however deep it sits.
class ArgumentBuilder {
 public:
  explicit ArgumentBuilder(ParseError& error) noexcept : error_(error) {}

  std::uint32_t fill(XoltRirMsg& msg, const ParsedArgumentList& list) {
    XoltRirArgIter last{};
    std::uint32_t result = XOLTLOG_OK;
    for (auto arg = list.arguments.begin(); arg != list.arguments.end() && result == XOLTLOG_OK;
         ++arg) {
      result = arg->type == XOLT_RIR_ARG_RIR ? append_nested(msg, last, *arg)
                                             : append(msg, last, *arg);
    }
    return result;
  }

 private:
  std::uint32_t append_nested(XoltRirMsg& msg, XoltRirArgIter& last, const ParsedArgument& arg) {
    XoltRirMsg* nested = nullptr;
    const std::int32_t status = xoltRirAppendMsg(&msg, arg.nested.id, &nested, &last);
    return status == XOLT_RIR_OK ? fill(*nested, arg.nested) : from_status(arg, status);
  }

  std::uint32_t append(XoltRirMsg& msg, XoltRirArgIter& last, const ParsedArgument& arg) {
    XoltRirArgNode node{};
    node.type = arg.type;
    BlockPtr<wchar_t> wide;
    if (const std::uint32_t result = set_value(arg, node.value, wide); result != XOLTLOG_OK) {
      return result;
    }
    return from_status(arg, xoltRirAppendArg(&msg, &node, &last));
  }

  std::uint32_t set_value(const ParsedArgument& arg, XoltRirArgValue& value,
                          BlockPtr<wchar_t>& wide) {
    switch (arg.type) {
      case XOLT_RIR_ARG_WCHAR: return set_wide_char(arg, value, wide);
      case XOLT_RIR_ARG_WSTRING: {
        const std::uint32_t result = to_wide(arg, wide);
        value.first.wide_string = wide.get();
        return result;
      }
      case XOLT_RIR_ARG_LONGLONG:
      case XOLT_RIR_ARG_OS_ERROR:
        value.first.width = arg.width;
        value.second.signed_number = arg.signed_number;
        return XOLTLOG_OK;
      case XOLT_RIR_ARG_ULONGLONG:
        value.first.width = arg.width;
        value.second.unsigned_number = arg.unsigned_number;
        return XOLTLOG_OK;
      case XOLT_RIR_ARG_DOUBLE: value.first.number_double = arg.number_double; return XOLTLOG_OK;
      case XOLT_RIR_ARG_POINTER: value.first.number = arg.unsigned_number; return XOLTLOG_OK;
      case XOLT_RIR_ARG_DATETIME: value.first.time = arg.signed_number; return XOLTLOG_OK;
      default: value.first.string = arg.bytes.c_str(); return XOLTLOG_OK;
    }
  }

  // No bytes stand for the NUL character, which has no UTF-8 bytes of its
  // own in the line.
  std::uint32_t set_wide_char(const ParsedArgument& arg, XoltRirArgValue& value,
                              BlockPtr<wchar_t>& wide) {
    if (arg.bytes.empty()) {
      return XOLTLOG_OK;
    }
    if (const std::uint32_t result = to_wide(arg, wide); result != XOLTLOG_OK) {
      return result;
    }
    if (wide.get()[0] == L'\0' || wide.get()[1] != L'\0') {
      return refuse(arg, kNotOneChar);
    }
    value.first.wide_char = wide.get()[0];
    return XOLTLOG_OK;
  }

  std::uint32_t to_wide(const ParsedArgument& arg, BlockPtr<wchar_t>& wide) {
    static const wchar_t kEmpty[] = L"";
    if (arg.bytes.empty()) {
      wide.reset(static_cast<wchar_t*>(allocate(sizeof kEmpty)));
      if (wide == nullptr) {
        return XOLTLOG_E_NO_MEMORY;
      }
      std::memcpy(wide.get(), kEmpty, sizeof kEmpty);
      return XOLTLOG_OK;
    }
    if (arg.bytes.size() > INT32_MAX) {
      return refuse(arg, kNotWide);
    }
    const auto length = static_cast<std::int32_t>(arg.bytes.size());
    const std::uint32_t result = platform::utf8_to_wide(wide, arg.bytes.c_str(), length);
    if (result == XOLTLOG_E_NO_MEMORY) {
      return result;
    }
    if (result == XOLTLOG_OK && wide != nullptr) {
      return XOLTLOG_OK;
    }
    return refuse(arg, kNotWide);
  }

  std::uint32_t from_status(const ParsedArgument& arg, std::int32_t status) {
    if (status == XOLT_RIR_OK) {
      return XOLTLOG_OK;
    }
    if (status == XOLT_RIR_ENOMEM) {
      return XOLTLOG_E_NO_MEMORY;
    }
    return refuse(arg, kRirRefused);
  }

  std::uint32_t refuse(const ParsedArgument& arg, std::string_view reason) noexcept {
    error_ = {arg.offset, reason};
    return XOLTLOG_E_FAILED;
  }

  ParseError& error_;
};

void set_numbers(const ParsedRecord& parsed, XoltLogMsg& msg) noexcept {
  msg.type = parsed.type;
  msg.product_id = parsed.product_id;
  msg.originator_id = parsed.originator_id;
  msg.file_originator = parsed.file_originator;
  msg.sequence = parsed.sequence;
  msg.timestamp_ms = parsed.timestamp_ms;
  msg.process_id = parsed.process_id;
  msg.thread_id = parsed.thread_id;
  if (parsed.type == XOLTLOG_MSG_APP) {
    msg.attr.severity = static_cast<std::uint32_t>(parsed.number);
  } else if (parsed.type == XOLTLOG_MSG_AUDIT) {
    msg.outcome = static_cast<std::uint32_t>(parsed.number);
  } else if (parsed.type != XOLTLOG_MSG_CONTEXT) {
    msg.attr.level = parsed.number;
  }
}

// free_record releases the context attribute of a context record and, as the
// record owns its strings, the token, text and who or subject of the others.
std::uint32_t set_strings(const ParsedRecord& parsed, XoltLogMsg& msg) noexcept {
  char*& attribute =
      parsed.type == XOLTLOG_MSG_CONTEXT ? msg.attr.context_attr : msg.who_or_subject;
  std::uint32_t result = owned_copy(parsed.context_token, false, msg.context_token);
  if (result == XOLTLOG_OK) {
    result = owned_copy(parsed.text, true, msg.text);
  }
  return result == XOLTLOG_OK ? owned_copy(parsed.attribute, false, attribute) : result;
}

std::uint32_t fill_record(std::string_view line, std::uint32_t record_version, XoltLogMsg& msg,
                          ParseError& error) {
  if (const void* nul = std::memchr(line.data(), '\0', line.size()); nul != nullptr) {
    error = {static_cast<std::size_t>(static_cast<const char*>(nul) - line.data()), kNulByte};
    return XOLTLOG_E_FAILED;
  }
  RecordLineParse parse = parse_record_line(line, record_version);
  if (!parse.record) {
    error = parse.error;
    return XOLTLOG_E_FAILED;
  }
  const ParsedRecord& parsed = *parse.record;
  RecordOwner owner(msg);
  msg.owns_strings = 1;
  msg.record_version = record_version;
  msg.utf8 = 1;
  set_numbers(parsed, msg);
  std::uint32_t result = set_strings(parsed, msg);
  if (result == XOLTLOG_OK && parsed.arguments) {
    msg.rir.id = parsed.arguments->id;
    result = ArgumentBuilder(error).fill(msg.rir, *parsed.arguments);
  }
  if (result == XOLTLOG_OK) {
    owner.keep();
  }
  return result;
}

}  // namespace

std::uint32_t record_from_line(std::string_view line, std::uint32_t record_version,
                               XoltLogMsg& record, ParseError& error) noexcept {
  std::memset(&record, 0, sizeof record);
  // The owner inside has released the record by the time an exception
  // arrives here.
  return guarded(XOLTLOG_E_FAILED,
                 [&] { return fill_record(line, record_version, record, error); });
}

}  // namespace xoltlog
