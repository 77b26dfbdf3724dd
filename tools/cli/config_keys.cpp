#include "cli/config_keys.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <new>

#include "xoltlog/frame.h"

namespace xoltlog::tool {
namespace {

constexpr std::uint32_t kRefused = XOLTLOG_E_INVALID_ARG;

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A whole decimal number within [low, high].
std::optional<std::uint64_t> parse_number(const std::string& text, std::uint64_t low,
                                          std::uint64_t high) {
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

std::optional<bool> parse_switch(const std::string& text) {
  const std::string word = lower(text);
  if (word == "true" || word == "on" || word == "yes" || word == "1") return true;
  if (word == "false" || word == "off" || word == "no" || word == "0") return false;
  return std::nullopt;
}

std::optional<std::uint32_t> parse_rollover_mode(const std::string& text) {
  if (auto number = parse_number(text, 0, 7)) return static_cast<std::uint32_t>(*number);
  std::uint32_t mode = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t bar = text.find_first_of("|,", start);
    const std::string word = lower(trim(text.substr(start, bar - start)));
    if (word == "filesize") {
      mode |= XOLTLOG_ROLLOVER_FILE_SIZE;
    } else if (word == "localtime") {
      mode |= XOLTLOG_ROLLOVER_LOCAL_TIME;
    } else if (word == "periodic") {
      mode |= XOLTLOG_ROLLOVER_PERIODIC;
    } else if (word != "none") {
      return std::nullopt;
    }
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return mode;
}

// "hh:mm" as seconds after midnight.
std::optional<std::int64_t> parse_time_of_day(const std::string& text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto hours = parse_number(text.substr(0, colon), 0, 23);
  const auto minutes = parse_number(text.substr(colon + 1), 0, 59);
  if (!hours || !minutes) return std::nullopt;
  return static_cast<std::int64_t>((*hours * 60 + *minutes) * 60);
}

std::string number_text(std::uint64_t value) { return std::to_string(value); }

template <typename T, std::uint32_t (*Get)(const XoltLogCfg*, T*)>
std::optional<std::string> render_number(const XoltLogCfg& cfg) {
  T value{};
  Get(&cfg, &value);
  return number_text(static_cast<std::uint64_t>(value));
}

template <std::uint32_t (*Get)(const XoltLogCfg*, char**)>
std::optional<std::string> render_text(const XoltLogCfg& cfg) {
  char* text = nullptr;
  Get(&cfg, &text);
  return take_text(text);
}

template <std::uint32_t Bit>
std::optional<std::string> render_flag(const XoltLogCfg& cfg) {
  std::uint32_t flags = 0;
  xoltLogCfgGetFlags(&cfg, &flags);
  return std::string((flags & Bit) != 0 ? "true" : "false");
}

template <std::uint32_t (*Set)(XoltLogCfg*, std::uint32_t), std::uint64_t kLow,
          std::uint64_t kHigh>
std::uint32_t apply_number(XoltLogCfg& cfg, const std::string& text) {
  const auto value = parse_number(text, kLow, kHigh);
  return value ? Set(&cfg, static_cast<std::uint32_t>(*value)) : kRefused;
}

template <std::uint32_t (*Set)(XoltLogCfg*, const char*)>
std::uint32_t apply_text(XoltLogCfg& cfg, const std::string& text) {
  return text.empty() ? kRefused : Set(&cfg, text.c_str());
}

template <std::uint32_t (*Enable)(XoltLogCfg*), std::uint32_t (*Disable)(XoltLogCfg*)>
std::uint32_t apply_switch(XoltLogCfg& cfg, const std::string& text) {
  const auto on = parse_switch(text);
  if (!on) return kRefused;
  return *on ? Enable(&cfg) : Disable(&cfg);
}

std::optional<std::string> render_directory(const XoltLogCfg& cfg) {
  if (cfg.log_directory[0] == '\0') return std::nullopt;
  return render_text<xoltLogCfgGetDirectory>(cfg);
}

std::uint32_t apply_directory(XoltLogCfg& cfg, const std::string& text) {
  return text.empty() ? kRefused : xoltLogCfgSetDirectory(&cfg, text.c_str(), nullptr);
}

std::optional<std::string> render_originator_names(const XoltLogCfg& cfg) {
  if (cfg.originator_names[0] == '\0') return std::nullopt;
  return std::string(cfg.originator_names);
}

// The names have no accessor of their own: the field is set as the
// readers set it, and marked for the writers.
std::uint32_t apply_originator_names(XoltLogCfg& cfg, const std::string& text) {
  if (text.empty() || text.size() >= sizeof cfg.originator_names) return kRefused;
  std::memcpy(cfg.originator_names, text.c_str(), text.size() + 1);
  cfg.change_mask |= XOLTLOG_CFG_MASK_OID_NAMES;
  return XOLTLOG_OK;
}

std::optional<std::string> render_l10n_lib(const XoltLogCfg& cfg) {
  if (cfg.l10n_lib == nullptr) return std::nullopt;
  return std::string(cfg.l10n_lib);
}

std::optional<std::string> render_app_logging(const XoltLogCfg& cfg) {
  return std::string(cfg.app_msg_logging == 1 ? "ON" : "OFF");
}

std::optional<std::string> render_recycle(const XoltLogCfg& cfg) {
  return std::string(cfg.log_recycle == 1 ? "true" : "false");
}

std::optional<std::string> render_rollover_mode(const XoltLogCfg& cfg) {
  std::uint32_t mode = 0;
  xoltLogCfgGetRolloverMode(&cfg, &mode);
  char buffer[256] = "";
  return std::string(RolloverModeEnumToSettingString(static_cast<std::int32_t>(mode), buffer));
}

std::uint32_t apply_rollover_mode(XoltLogCfg& cfg, const std::string& text) {
  const auto mode = parse_rollover_mode(text);
  return mode ? xoltLogCfgSetRolloverMode(&cfg, *mode) : kRefused;
}

std::optional<std::string> render_rollover_time(const XoltLogCfg& cfg) {
  std::int64_t seconds = 0;
  xoltLogCfgGetRolloverTime(&cfg, &seconds);
  const std::int64_t hours = seconds / 3600;
  char text[48];
  std::snprintf(text, sizeof text, "%02lld:%02lld", static_cast<long long>(hours),
                static_cast<long long>((seconds - hours * 3600) / 60));
  return std::string(text);
}

std::uint32_t apply_rollover_time(XoltLogCfg& cfg, const std::string& text) {
  const auto seconds = parse_time_of_day(text);
  return seconds ? xoltLogCfgSetRolloverTime(&cfg, *seconds) : kRefused;
}

std::uint32_t apply_period(XoltLogCfg& cfg, const std::string& text) {
  // The store keeps 32 bits of the period.
  const auto seconds = parse_number(text, 0, UINT32_MAX);
  return seconds ? xoltLogCfgSetRolloverPeriod(&cfg, *seconds) : kRefused;
}

std::uint32_t apply_reload(XoltLogCfg& cfg, const std::string& text) {
  const auto seconds = parse_number(text, 0, INT32_MAX);
  return seconds ? xoltLogCfgSetDynaSetting(&cfg, static_cast<std::int32_t>(*seconds)) : kRefused;
}

std::uint32_t apply_app_logging(XoltLogCfg& cfg, const std::string& text) {
  return apply_switch<xoltLogCfgEnableAppMsgLogging, xoltLogCfgDisableAppMsgLogging>(cfg, text);
}

std::uint32_t apply_recycle(XoltLogCfg& cfg, const std::string& text) {
  return apply_switch<xoltLogCfgEnableLogRecycling, xoltLogCfgDisableLogRecycling>(cfg, text);
}

std::uint32_t apply_event_source(XoltLogCfg& cfg, const std::string& text) {
  // The accessor would cut a longer name; refusing it says so.
  if (text.size() >= XOLTLOG_CFG_EVENT_SOURCE_SIZE) return kRefused;
  return apply_text<xoltLogCfgSetNtEventSource>(cfg, text);
}

std::uint32_t apply_category(XoltLogCfg& cfg, const std::string& text) {
  const auto category = parse_number(text, 0, UINT16_MAX);
  return category ? xoltLogCfgSetNtEventCategory(&cfg, static_cast<std::uint16_t>(*category))
                  : kRefused;
}

std::uint32_t apply_sddl(XoltLogCfg& cfg, const std::string& text) {
  return xoltLogCfgSetLogFileSDDL(&cfg, text.c_str());
}

std::optional<std::string> render_category(const XoltLogCfg& cfg) {
  std::uint16_t category = 0;
  xoltLogCfgGetNtEventCategory(&cfg, &category);
  return number_text(category);
}

constexpr const char* kText = "a text that is not empty";
constexpr const char* kLevel = "a level from 0 to 6";
constexpr const char* kSwitch = "true or false (also on/off, yes/no, 1/0)";

const KeyInfo kKeys[] = {
    {"LogDirectory", kAllSections, XOLTLOG_CFG_MASK_DIRECTORY,
     "a directory; a relative one is below the Default section's", false, render_directory,
     apply_directory},
    {"OIDNames", kAllSections, XOLTLOG_CFG_MASK_OID_NAMES,
     "comma-separated names, the short name first (at most 1024 characters)", false,
     render_originator_names, apply_originator_names},
    {"L10nLib", kProductSections, XOLTLOG_CFG_MASK_L10N_LIB, kText, false, render_l10n_lib,
     apply_text<xoltLogCfgSetL10nLib>},
    {"L10nResource", kProductSections, XOLTLOG_CFG_MASK_L10N_RESOURCE, kText, false,
     render_text<xoltLogCfgGetL10nResource>, apply_text<xoltLogCfgSetL10nResource>},
    {"L10nResourceDir", kProductSections, XOLTLOG_CFG_MASK_L10N_RESOURCE_DIR, kText, false,
     render_text<xoltLogCfgGetL10nResourceDir>, apply_text<xoltLogCfgSetL10nResourceDir>},
    {"DebugLevel", kAllSections, XOLTLOG_CFG_MASK_DEBUG_LEVEL, kLevel, false,
     render_number<std::uint32_t, xoltLogCfgGetDebugLevel>,
     apply_number<xoltLogCfgSetDebugLevel, 0, UINT32_MAX>},
    {"DiagnosticLevel", kAllSections, XOLTLOG_CFG_MASK_DIAG_LEVEL, kLevel, false,
     render_number<std::uint32_t, xoltLogCfgGetDiagLevel>,
     apply_number<xoltLogCfgSetDiagLevel, 0, UINT32_MAX>},
    {"DynaReloadInSec", kAllSections, XOLTLOG_CFG_MASK_RELOAD,
     "seconds from 0 (no reload) to 2147483647", false,
     render_number<std::uint32_t, xoltLogCfgGetDynaSetting>, apply_reload},
    {"LogToStdout", kAllSections, XOLTLOG_CFG_MASK_LOG_TO_STDOUT, kSwitch, true,
     render_flag<XOLTLOG_CFG_LOG_TO_STDOUT>,
     apply_switch<xoltLogCfgEnableLogToStdout, xoltLogCfgDisableLogToStdout>},
    {"LogToStderr", kAllSections, XOLTLOG_CFG_MASK_LOG_TO_STDERR, kSwitch, true,
     render_flag<XOLTLOG_CFG_LOG_TO_STDERR>,
     apply_switch<xoltLogCfgEnableLogToStderr, xoltLogCfgDisableLogToStderr>},
    {"LogToOslog", kAllSections, XOLTLOG_CFG_MASK_LOG_TO_OSLOG, kSwitch, true,
     render_flag<XOLTLOG_CFG_LOG_TO_OSLOG>,
     apply_switch<xoltLogCfgEnableLogToOslog, xoltLogCfgDisableLogToOslog>},
    {"FileName", kLogsetSections, XOLTLOG_CFG_MASK_LOGSET_FILE_NAME, kText, false,
     render_text<xoltLogCfgGetLogsetFilename>, apply_text<xoltLogCfgSetLogsetFilename>},
    {"AppMsgLogging", kAllSections, XOLTLOG_CFG_MASK_APP_MSG_LOGGING, "ON or OFF", true,
     render_app_logging, apply_app_logging},
    {"OIDAppMsgLogging", kLogsetSections, XOLTLOG_CFG_MASK_OID_APP_LOGGING, kText, false,
     render_text<xoltLogCfgGetLogsetOIDOIDappMsgLogging>,
     apply_text<xoltLogCfgSetLogsetOIDappMsgLogging>},
    {"OIDDebugLogging", kLogsetSections, XOLTLOG_CFG_MASK_OID_DEBUG_LOGGING, kText, false,
     render_text<xoltLogCfgGetLogsetOIDDebugLogging>,
     apply_text<xoltLogCfgSetLogsetOIDDebugLogging>},
    {"OIDDiagLogging", kLogsetSections, XOLTLOG_CFG_MASK_OID_DIAG_LOGGING, kText, false,
     render_text<xoltLogCfgGetLogsetOIDDiagLogging>, apply_text<xoltLogCfgSetLogsetOIDDiagLogging>},
    {"RolloverMode", kAllSections, XOLTLOG_CFG_MASK_ROLLOVER_MODE,
     "None, or FileSize with LocalTime or Periodic joined by '|' (LocalTime and Periodic "
     "exclude each other), or the number 0 to 5",
     false, render_rollover_mode, apply_rollover_mode},
    {"LogRecycle", kAllSections, XOLTLOG_CFG_MASK_RECYCLE, kSwitch, true, render_recycle,
     apply_recycle},
    {"MaxLogFileSizeKB", kAllSections, XOLTLOG_CFG_MASK_MAX_FILE_SIZE,
     "kilobytes from 1 to 4294967295", false,
     render_number<std::uint32_t, xoltLogCfgGetMaxFileSize>,
     apply_number<xoltLogCfgSetMaxFileSize, 0, UINT32_MAX>},
    {"RolloverAtLocalTime", kAllSections, XOLTLOG_CFG_MASK_ROLLOVER_TIME,
     "a local time of day hh:mm, hours 0 to 23, minutes 0 to 59", false, render_rollover_time,
     apply_rollover_time},
    {"RolloverPeriodInSeconds", kAllSections, XOLTLOG_CFG_MASK_ROLLOVER_PERIOD,
     "seconds from 1 to 4294967295", false,
     render_number<std::uint64_t, xoltLogCfgGetRolloverPeriod>, apply_period},
    {"NumberOfLogFiles", kAllSections, XOLTLOG_CFG_MASK_NUMBER_OF_FILES,
     "a count from 1 to 4294967295", false,
     render_number<std::uint32_t, xoltLogCfgGetNumberOfLogFiles>,
     apply_number<xoltLogCfgSetNumberOfLogFiles, 0, UINT32_MAX>},
    {"NtEventLogSourceName", kAllSections, XOLTLOG_CFG_MASK_EVENT_SOURCE,
     "a name of 1 to 79 characters", false, render_text<xoltLogCfgGetNtEventSource>,
     apply_event_source},
    {"NtEventLogCategory", kAllSections, XOLTLOG_CFG_MASK_EVENT_CATEGORY,
     "a category from 1 to 65535", false, render_category, apply_category},
    {"LogFileSDDL", kAllSections, XOLTLOG_CFG_MASK_FILE_SDDL,
     "an SDDL security descriptor (empty allowed)", true,
     render_text<xoltLogCfgGetLogFileSDDL>, apply_sddl},
};

}  // namespace

std::span<const KeyInfo> config_keys() { return kKeys; }

const KeyInfo* find_key(const std::string& name) {
  const std::string wanted = lower(name);
  for (const KeyInfo& key : kKeys) {
    if (lower(key.name) == wanted) return &key;
  }
  return nullptr;
}

void init_record(XoltLogCfg& cfg, std::uint32_t product, std::uint32_t originator,
                 const char* logset) {
  xoltLogFreeCfg(&cfg);
  cfg.product_id = product;
  cfg.originator_id = originator;
  cfg.max_file_size_kb = 10240;
  cfg.rollover_period = 43200;
  cfg.number_of_log_files = UINT32_MAX;
  cfg.app_msg_logging = 1;
  std::strcpy(cfg.event_source.name, "Application");
  if (logset != nullptr) {
    cfg.logset_name = xoltLogSafeStrdup(logset);
    cfg.logset_file_name = xoltLogSafeStrdup(logset);
    cfg.logset_marker = 1;
    if (cfg.logset_name == nullptr || cfg.logset_file_name == nullptr) throw std::bad_alloc();
  }
}

std::optional<std::string> take_text(char* text) {
  if (text == nullptr) return std::nullopt;
  std::string copy(text);
  xoltLogFree(text);
  return copy;
}

}  // namespace xoltlog::tool
