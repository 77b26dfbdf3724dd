#include "config/read_fixture.h"

#include <cinttypes>
#include <cstdlib>
#include <functional>
#include <map>

#include "config/store_layout.h"
#include "config/store_test_support.h"
#include "config/store_typed.h"
#include "xoltlog/frame.h"
#include "xoltlog/property_store.h"

namespace xoltlog::test {
namespace {

constexpr char kRegistryRegistration[] = "SOFTWARE\\KESTRAN\\xoltlog";

std::string text_or_null(const char* text) { return text != nullptr ? text : "null"; }

using FieldText = std::function<std::string(const XoltLogCfg&)>;

template <typename T>
FieldText number(T XoltLogCfg::*field) {
  return [field](const XoltLogCfg& cfg) { return std::to_string(cfg.*field); };
}

FieldText owned(char* XoltLogCfg::*field) {
  return [field](const XoltLogCfg& cfg) { return text_or_null(cfg.*field); };
}

FieldText flag(std::uint32_t bit) {
  return [bit](const XoltLogCfg& cfg) { return std::to_string((cfg.flags & bit) != 0 ? 1 : 0); };
}

// In the order of the section reader, then the logset fields.
const std::vector<std::pair<std::string, FieldText>>& fields() {
  static const std::vector<std::pair<std::string, FieldText>> kFields = {
      {"LogDirectory", [](const XoltLogCfg& c) { return std::string(c.log_directory); }},
      {"OIDNames", [](const XoltLogCfg& c) { return std::string(c.originator_names); }},
      {"Names", [](const XoltLogCfg& c) { return std::string(c.product_names); }},
      {"L10nLib", owned(&XoltLogCfg::l10n_lib)},
      {"L10nResource", owned(&XoltLogCfg::l10n_resource)},
      {"L10nResourceDir", owned(&XoltLogCfg::l10n_resource_dir)},
      {"DebugLevel", number(&XoltLogCfg::debug_level)},
      {"DiagnosticLevel", number(&XoltLogCfg::diag_level)},
      {"DynaReloadInSec", number(&XoltLogCfg::reload_interval)},
      {"LogToStdout", flag(XOLTLOG_CFG_LOG_TO_STDOUT)},
      {"LogToStderr", flag(XOLTLOG_CFG_LOG_TO_STDERR)},
      {"LogToOslog", flag(XOLTLOG_CFG_LOG_TO_OSLOG)},
      {"AppMsgLogging", number(&XoltLogCfg::app_msg_logging)},
      {"OIDAppMsgLogging", owned(&XoltLogCfg::oid_app_msg_logging)},
      {"OIDDebugLogging", owned(&XoltLogCfg::oid_debug_logging)},
      {"OIDDiagLogging", owned(&XoltLogCfg::oid_diag_logging)},
      {"RolloverMode", number(&XoltLogCfg::rollover_mode)},
      {"LogRecycle", number(&XoltLogCfg::log_recycle)},
      {"MaxLogFileSizeKB", number(&XoltLogCfg::max_file_size_kb)},
      {"RolloverAtLocalTime", number(&XoltLogCfg::rollover_time)},
      {"RolloverPeriodInSeconds", number(&XoltLogCfg::rollover_period)},
      {"NumberOfLogFiles", number(&XoltLogCfg::number_of_log_files)},
      {"NtEventLogSourceName", [](const XoltLogCfg& c) { return std::string(c.event_source.name); }},
      {"NtEventLogCategory",
       [](const XoltLogCfg& c) { return std::to_string(c.event_source.category); }},
      {"LogFileSDDL", owned(&XoltLogCfg::file_sddl)},
      {"LogsetName", owned(&XoltLogCfg::logset_name)},
      {"LogsetMarker", number(&XoltLogCfg::logset_marker)},
      {"FileName", owned(&XoltLogCfg::logset_file_name)},
      {"ChangeMask", number(&XoltLogCfg::change_mask)},
  };
  return kFields;
}

void expect_ok(std::uint32_t result, const Section& at, const char* key) {
  EXPECT_EQ(result, 0u) << at.location << " " << at.section << " " << key;
}

}  // namespace

std::string layout_name(const ::testing::TestParamInfo<Layout>& info) {
  const auto name = [](Backend backend) { return backend == Backend::kRegistry ? "Registry" : "File"; };
  return std::string(name(info.param.registration)) + "Registration" +
         name(info.param.configuration) + "Sections";
}

void ReadFixture::use(Layout layout) {
  layout_ = layout;
  setenv("XOLTLOG_REGISTRY_ROOT", root_.path().c_str(), 1);
  if (layout.registration == Backend::kFile) {
    setenv("XOLTLOG_CFG_LOC", registration().c_str(), 1);
  } else {
    unsetenv("XOLTLOG_CFG_LOC");
  }
  forget_store_location();
}

void ReadFixture::TearDown() {
  unsetenv("XOLTLOG_CFG_LOC");
  unsetenv("XOLTLOG_REGISTRY_ROOT");
  forget_store_location();
}

std::string ReadFixture::registration() const {
  return layout_.registration == Backend::kRegistry ? kRegistryRegistration
                                                    : root_.file("etc/xoltlog.conf");
}

std::string ReadFixture::config_location(std::uint32_t product) const {
  return layout_.configuration == Backend::kRegistry
             ? "SOFTWARE\\KESTRAN\\Products\\" + std::to_string(product)
             : root_.file("etc/product" + std::to_string(product) + ".conf");
}

Section ReadFixture::section(std::uint32_t product, const std::string& name) const {
  return {config_location(product), name};
}

Section ReadFixture::logset(std::uint32_t product, const std::string& name) const {
  const std::string location = config_location(product);
  return {logset_root(location), logset_store_section(location, name)};
}

void ReadFixture::register_product(std::uint32_t product, const std::string& names) {
  const Section key = registration_key(std::to_string(product));
  put(key, "Configuration", config_location(product));
  put(key, "Names", names);
}

void ReadFixture::put(const Section& at, const char* key, const std::string& text) {
  Store store;
  expect_ok(CreatePropertyString(at.location.c_str(), at.section.c_str(), &store.handle), at, key);
  expect_ok(utiSetPropertyAsStr(&store.handle, key, text.c_str()), at, key);
}

void ReadFixture::put_number(const Section& at, const char* key, std::uint32_t value) {
  Store store;
  expect_ok(CreatePropertyString(at.location.c_str(), at.section.c_str(), &store.handle), at, key);
  expect_ok(store_set_number(&store.handle, key, &value), at, key);
}

void ReadFixture::put_bool(const Section& at, const char* key, bool on) {
  Store store;
  const std::uint32_t flag = on ? 1 : 0;
  expect_ok(CreatePropertyString(at.location.c_str(), at.section.c_str(), &store.handle), at, key);
  expect_ok(store_set_bool(&store.handle, key, &flag), at, key);
}

Records::~Records() {
  for (std::uint64_t i = 0; i < count && i < slots.size(); ++i) {
    xoltLogFreeCfg(slots[i]);
    xoltLogFree(slots[i]);
  }
}

std::vector<std::string> Records::summary() const {
  std::vector<std::string> out;
  for (std::uint64_t i = 0; i < count && i < slots.size(); ++i) {
    const XoltLogCfg& cfg = *slots[i];
    out.push_back(std::to_string(cfg.product_id) + "/" +
                  (cfg.logset_marker != 0 ? "L:" + text_or_null(cfg.logset_name)
                                          : std::to_string(cfg.originator_id)));
  }
  return out;
}

std::string field_of(const XoltLogCfg& cfg, const std::string& key) {
  for (const auto& [name, text] : fields()) {
    if (name == key) {
      return text(cfg);
    }
  }
  ADD_FAILURE() << "no field for " << key;
  return "";
}

std::string describe(const XoltLogCfg& cfg) {
  std::string out;
  for (const auto& [name, text] : fields()) {
    out += (out.empty() ? "" : "; ") + name + "=" + text(cfg);
  }
  return out;
}

}  // namespace xoltlog::test
