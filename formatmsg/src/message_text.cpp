#include "message_text.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <ctime>

#include "catalog_cache.h"

namespace xoltlog::fmt {
namespace {

constexpr std::uint32_t kLastArgType = XOLT_RIR_ARG_NATIVESTRING;
constexpr char32_t kReplacement = 0xFFFD;

std::string rir_text_at(const XoltRirMsg& msg, CatalogLookup& lookup, int depth);

void append_utf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    c = kReplacement;
  }
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string wide_text(const wchar_t* text) {
  std::string out;
  for (; text != nullptr && *text != L'\0'; ++text) {
    append_utf8(out, static_cast<char32_t>(*text));
  }
  return out;
}

__attribute__((format(printf, 1, 2))) std::string printed(const char* format, ...) {
  char buffer[64];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  std::string text;
  if (length >= 0 && static_cast<std::size_t>(length) < sizeof buffer) {
    text.assign(buffer, static_cast<std::size_t>(length));
  } else if (length >= 0) {
    text.resize(static_cast<std::size_t>(length));
    std::vsnprintf(text.data(), text.size() + 1, format, again);
  }
  va_end(again);
  return text;
}

std::string date_text(std::int64_t seconds) {
  const auto value = static_cast<std::time_t>(seconds);
  std::tm parts{};
  char buffer[32];
  if (localtime_r(&value, &parts) == nullptr ||
      std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &parts) == 0) {
    return printed("%" PRId64, seconds);
  }
  return buffer;
}

std::string nested_text(const XoltRirArgIter& it, CatalogLookup& lookup, int depth) {
  const XoltRirMsg* nested = nullptr;
  if (xoltRirGetArg_rir(&it, &nested) != 0 || nested == nullptr) {
    return {};
  }
  return rir_text_at(*nested, lookup, depth + 1);
}

// A getter that fails leaves its value zeroed: the argument then shows as 0
// or empty rather than ending the message.
std::string scalar_text(const XoltRirArgIter& it, std::uint32_t type) {
  switch (type) {
    case XOLT_RIR_ARG_WCHAR: {
      wchar_t c = 0;
      std::string out;
      if (xoltRirGetArg_wchar(&it, &c) == 0 && c != 0) {
        append_utf8(out, static_cast<char32_t>(c));
      }
      return out;
    }
    case XOLT_RIR_ARG_LONGLONG: {
      std::int64_t v = 0;
      xoltRirGetArg_longlong(&it, &v);
      return printed("%" PRId64, v);
    }
    case XOLT_RIR_ARG_ULONGLONG: {
      std::uint64_t v = 0;
      xoltRirGetArg_ulonglong(&it, &v);
      return printed("%" PRIu64, v);
    }
    case XOLT_RIR_ARG_DOUBLE: {
      double v = 0;
      xoltRirGetArg_double(&it, &v);
      return printed("%f", v);
    }
    default: {
      std::uint64_t v = 0;
      xoltRirGetArg_pointer(&it, &v);
      return printed("0x%" PRIx64, v);
    }
  }
}

std::string string_text(const XoltRirArgIter& it, std::uint32_t type) {
  const char* text = nullptr;
  if (type == XOLT_RIR_ARG_UTF8STRING) {
    xoltRirGetArg_utf8string(&it, &text);
  } else {
    xoltRirGetArg_nativeString(&it, &text);
  }
  return text != nullptr ? text : "";
}

std::vector<std::string> argument_texts(const XoltRirMsg& msg, CatalogLookup& lookup, int depth) {
  std::vector<std::string> texts;
  XoltRirArgIter it{};
  if (xoltRirGetArgsBegin(&msg, &it) != 0) {
    return texts;
  }
  do {
    std::uint32_t type = 0;
    if (xoltRirGetArgTypeId(&it, &type) != 0 || type > kLastArgType) {
      break;  // an unknown type ends the walk; what came before stands
    }
    texts.push_back(argument_text(it, type, lookup, depth));
  } while (xoltRirGetNextArg(&it) == 0);
  return texts;
}

std::string rir_text_at(const XoltRirMsg& msg, CatalogLookup& lookup, int depth) {
  std::uint32_t id = 0;
  if (depth > XOLT_RIR_MAX_NESTING || xoltRirGetTextId(&msg, &id) != 0) {
    return {};
  }
  const std::vector<std::string> args = argument_texts(msg, lookup, depth);
  std::string out;
  if (id == 0) {
    for (const std::string& arg : args) {
      out += arg;
    }
    return out;
  }
  if (const std::string* tmpl = lookup.find(id); tmpl != nullptr) {
    expand_template(*tmpl, args, out);
    return out;
  }
  out = "[Cannot find catalog for message id=" + std::to_string(id) + "] ";
  for (std::size_t i = 0; i < args.size(); ++i) {
    out += i == 0 ? "" : ",";
    out += args[i];
  }
  return out;
}

}  // namespace

const std::string* CatalogLookup::find(std::uint32_t id) {
  if (!loaded_) {
    loaded_ = true;
    for (const std::string& path : paths_) {
      if (auto catalog = cache_.get(path); catalog) {
        catalogs_.push_back(std::move(catalog));
      }
    }
  }
  for (const auto& catalog : catalogs_) {
    if (const std::string* tmpl = catalog->find(id); tmpl != nullptr) {
      return tmpl;
    }
  }
  return nullptr;
}

std::string argument_text(const XoltRirArgIter& it, std::uint32_t type, CatalogLookup& lookup,
                          int depth) {
  switch (type) {
    case XOLT_RIR_ARG_WSTRING: {
      const wchar_t* text = nullptr;
      xoltRirGetArg_wstring(&it, &text);
      return wide_text(text);
    }
    case XOLT_RIR_ARG_OS_ERROR:
    case XOLT_RIR_ARG_OS_ERROR64: {
      const XoltRirArgValue* value = nullptr;
      if (xoltRirGetArg_os_error(&it, &value) != 0 || value == nullptr) {
        return "0";
      }
      return printed("%" PRId64, value->second.signed_number);
    }
    case XOLT_RIR_ARG_DATETIME: {
      std::int64_t seconds = 0;
      xoltRirGetArg_datetime(&it, &seconds);
      return date_text(seconds);
    }
    case XOLT_RIR_ARG_RIR:
      return nested_text(it, lookup, depth);
    case XOLT_RIR_ARG_UTF8STRING:
    case XOLT_RIR_ARG_NATIVESTRING:
      return string_text(it, type);
    default:
      return scalar_text(it, type);
  }
}

std::string rir_text(const XoltRirMsg& msg, CatalogLookup& lookup) {
  return rir_text_at(msg, lookup, 0);
}

}  // namespace xoltlog::fmt
