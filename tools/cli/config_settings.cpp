// xoltlog config show|set|unset: the settings of one section with where
// each value came from, and changing one key.
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/config_cmd.h"
#include "cli/config_keys.h"
#include "cli/config_store.h"
#include "cli/tool_error.h"
#include "xoltlog/config_read.h"
#include "xoltlog/config_write.h"
#include "xoltlog/frame.h"

namespace xoltlog::tool {
namespace {

struct TargetOptions {
  std::string product;
  std::string originator;
  std::string logset;
  std::string key;
  std::string value;
  bool json = false;
};

struct Target {
  SectionRef section;
  std::string location;
};

Target resolve_target(const TargetOptions& options) {
  require_store();
  Target target;
  target.section.product = resolve_product(options.product);
  target.location = product_location(target.section.product);
  if (!options.logset.empty()) {
    target.section.logset = options.logset;
    target.section.originator = 0;
  } else if (!options.originator.empty()) {
    target.section.originator = resolve_originator(target.section.product, options.originator);
  }
  return target;
}

// Reads the record of a section with every layer up to it. false when a
// logset has no settings at all.
bool read_layered(const SectionRef& section, XoltLogCfg& cfg) {
  const std::uint32_t product = section.product;
  const std::uint32_t result =
      section.logset ? xoltLogReadlogsetCfg(product, section.logset->c_str(), &cfg)
                     : xoltLogReadCfg(product, section.originator, &cfg);
  if (section.logset && result == XOLTLOG_E_CFG_STORE) return false;
  check_result(result, ExitCode::kStore, "cannot read the settings of " + section.label(),
               store_hint());
  return true;
}

// One layer of a section's settings: what the readers had after taking
// this section, and the section's own keys.
struct Layer {
  std::string label;
  std::unique_ptr<OwnedRecord> record = std::make_unique<OwnedRecord>();
  std::unique_ptr<RawSection> raw;
};

std::vector<Layer> read_layers(const Target& target) {
  const SectionRef& own = target.section;
  std::vector<Layer> layers;
  layers.push_back({"default", std::make_unique<OwnedRecord>(), nullptr});
  init_record(layers[0].record->cfg, own.product, own.originator,
              own.logset ? own.logset->c_str() : nullptr);
  SectionRef base = own;
  if (own.logset) {
    base.logset = "Default";
  } else {
    base.originator = XOLTLOG_DEFAULT_ORIGINATOR;
  }
  std::vector<SectionRef> sections{base};
  if (base.label() != own.label()) sections.push_back(own);
  for (const SectionRef& section : sections) {
    Layer layer{section.label(), std::make_unique<OwnedRecord>(), nullptr};
    if (!read_layered(section, layer.record->cfg)) {
      // A logset without keys of its own: its values are those before it.
      if (section.label() == own.label()) {
        throw ToolError(ExitCode::kNotFound, "product " + std::to_string(own.product) +
                                                 " has no " + own.label(),
                        "create it with 'xoltlog config set ... --logset NAME KEY VALUE'");
      }
      init_record(layer.record->cfg, own.product, 0, own.logset->c_str());
    }
    layer.raw = std::make_unique<RawSection>(target.location, section, XOLTLOG_STORE_READ);
    layers.push_back(std::move(layer));
  }
  return layers;
}

bool key_applies(const KeyInfo& key, const SectionRef& section) {
  return (key.sections & (section.logset ? kLogsetSections : kProductSections)) != 0;
}

// The layer a key's value came from: the last one that changed it, or that
// holds it with a value the readers take (the same value as before it).
std::size_t source_of(const KeyInfo& key, std::vector<Layer>& layers) {
  for (std::size_t i = layers.size() - 1; i > 0; --i) {
    if (key.render(layers[i].record->cfg) != key.render(layers[i - 1].record->cfg)) return i;
    const auto raw = layers[i].raw->text(key.name);
    if (!raw) continue;
    OwnedRecord scratch;
    init_record(scratch.cfg, 1, 1, nullptr);
    if (key.any_text_reads || key.apply(scratch.cfg, *raw) == XOLTLOG_OK) return i;
  }
  return 0;
}

void print_settings_text(const Target& target, std::vector<Layer>& layers) {
  const XoltLogCfg& effective = layers.back().record->cfg;
  std::cout << "product " << target.section.product << " (" << effective.product_names << "), "
            << target.section.label() << "\n"
            << "store " << target.location << "\n";
  for (const KeyInfo& key : config_keys()) {
    if (!key_applies(key, target.section)) continue;
    const auto value = key.render(effective);
    const std::string shown = value ? (value->empty() ? "\"\"" : *value) : "(unset)";
    std::printf("%-24s %-28s %s\n", key.name, shown.c_str(),
                layers[source_of(key, layers)].label.c_str());
  }
}

void print_settings_json(const Target& target, std::vector<Layer>& layers) {
  const XoltLogCfg& effective = layers.back().record->cfg;
  nlohmann::json settings = nlohmann::json::object();
  for (const KeyInfo& key : config_keys()) {
    if (!key_applies(key, target.section)) continue;
    const auto value = key.render(effective);
    settings[key.name] = {{"value", value ? nlohmann::json(*value) : nlohmann::json()},
                          {"source", layers[source_of(key, layers)].label}};
  }
  nlohmann::json out = {{"product", target.section.product},
                        {"product_names", effective.product_names},
                        {"section", target.section.label()},
                        {"store", target.location},
                        {"settings", settings}};
  if (target.section.logset) {
    out["logset"] = *target.section.logset;
  } else {
    out["originator"] = target.section.originator;
  }
  std::cout << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

void run_show(const GlobalOptions& global, const TargetOptions& options) {
  apply_store_option(global);
  const Target target = resolve_target(options);
  std::vector<Layer> layers = read_layers(target);
  if (options.json) {
    print_settings_json(target, layers);
  } else {
    print_settings_text(target, layers);
  }
}

const KeyInfo& checked_key(const std::string& name, const SectionRef& section) {
  const KeyInfo* key = find_key(name);
  if (key == nullptr) {
    throw ToolError(ExitCode::kNotFound, "no configuration key is named \"" + name + "\"",
                    "xoltlog-config(5) lists the keys; 'xoltlog config show PRODUCT' shows them");
  }
  if (!key_applies(*key, section)) {
    throw ToolError(ExitCode::kRefused,
                    std::string(key->name) + " is not a setting of a " +
                        (section.logset ? "logset" : "product or originator section"),
                    section.logset ? "leave out --logset to set it for the product or an "
                                     "originator (xoltlog-config(5) lists where each key goes)"
                                   : "give --logset NAME for a logset's keys");
  }
  return *key;
}

std::uint32_t write_record(const SectionRef& section, const XoltLogCfg& cfg) {
  return section.logset ? xoltLogWritelogSetCfg(section.product, section.logset->c_str(), &cfg)
                        : xoltLogWriteCfg(section.product, section.originator, &cfg);
}

// The writers store AppMsgLogging along with any other key; put the
// section's own AppMsgLogging back as it was, so that a set changes one key.
void restore_app_logging(const Target& target, const std::optional<std::string>& before) {
  RawSection section(target.location, target.section, XOLTLOG_STORE_ALL_ACCESS);
  const auto now = section.text("AppMsgLogging");
  if (now == before) return;
  const std::uint32_t result =
      before ? section.set_text("AppMsgLogging", *before) : section.remove("AppMsgLogging");
  check_result(utipsres2xoltlogres(result), ExitCode::kStore,
               "cannot restore AppMsgLogging of " + target.section.label(),
               "check it with 'xoltlog config show' and set it again");
}

// The event-log and security keys fail silently in the writers: read the
// value back to tell the user when the store did not keep it.
void verify_written(const Target& target, const KeyInfo& key, const XoltLogCfg& wanted) {
  OwnedRecord reread;
  read_layered(target.section, reread.cfg);
  if (key.render(reread.cfg) != key.render(wanted)) {
    throw ToolError(ExitCode::kStore, std::string("the store did not keep ") + key.name,
                    "check that the store can be written");
  }
}

void run_set(const GlobalOptions& global, const TargetOptions& options) {
  apply_store_option(global);
  const Target target = resolve_target(options);
  const KeyInfo& key = checked_key(options.key, target.section);
  OwnedRecord record;
  if (!read_layered(target.section, record.cfg)) {
    init_record(record.cfg, target.section.product, 0, target.section.logset->c_str());
  }
  record.cfg.change_mask = 0;
  const std::uint32_t applied = options.value.find_first_of("\r\n") != std::string::npos
                                    ? static_cast<std::uint32_t>(XOLTLOG_E_INVALID_ARG)
                                    : key.apply(record.cfg, options.value);
  if (applied == XOLTLOG_E_INVALID_ARG) {
    throw ToolError(ExitCode::kRefused,
                    "refused value \"" + options.value + "\" for " + key.name,
                    std::string("allowed: ") + key.allowed);
  }
  check_result(applied, ExitCode::kFailed, std::string("cannot set ") + key.name,
               std::string("allowed: ") + key.allowed);
  const auto app_logging_before =
      RawSection(target.location, target.section, XOLTLOG_STORE_READ).text("AppMsgLogging");
  check_result(write_record(target.section, record.cfg), ExitCode::kStore,
               std::string("cannot write ") + key.name + " to " + target.section.label(),
               "check that the store " + target.location + " can be written");
  if (key.mask != XOLTLOG_CFG_MASK_APP_MSG_LOGGING) restore_app_logging(target, app_logging_before);
  constexpr std::uint32_t kSilentKeys = XOLTLOG_CFG_MASK_EVENT_SOURCE |
                                        XOLTLOG_CFG_MASK_EVENT_CATEGORY | XOLTLOG_CFG_MASK_FILE_SDDL;
  if ((key.mask & kSilentKeys) == key.mask) verify_written(target, key, record.cfg);
}

// Removes the key from the section's store directly: the writers' removal
// mask would take AppMsgLogging along with any other key.
void run_unset(const GlobalOptions& global, const TargetOptions& options) {
  apply_store_option(global);
  const Target target = resolve_target(options);
  const KeyInfo& key = checked_key(options.key, target.section);
  RawSection section(target.location, target.section, XOLTLOG_STORE_ALL_ACCESS);
  if (!section.is_open()) return;  // no such section: nothing to unset
  const std::uint32_t result = section.remove(key.name);
  // A registry section that does not hold the value refuses its removal.
  const bool absent = result == static_cast<std::uint32_t>(XOLTLOG_STORE_E_WRITE) && !is_store_file(target.location) &&
                      !section.text(key.name);
  if (!absent) {
    check_result(utipsres2xoltlogres(result), ExitCode::kStore,
                 std::string("cannot remove ") + key.name + " from " + target.section.label(),
                 "check that the store " + target.location + " can be written");
  }
}

void add_target_options(CLI::App* sub, TargetOptions& options) {
  sub->add_option("product", options.product, "Product id or name")->required();
  auto* originator = sub->add_option("--originator,-o", options.originator,
                                     "Originator id or name; \"Default\" for the Default section");
  sub->add_option("--logset,-l", options.logset, "Logset name")->excludes(originator);
}

void add_show(CLI::App& config, const GlobalOptions& global) {
  auto options = std::make_shared<TargetOptions>();
  CLI::App* sub = config.add_subcommand(
      "show", "Show the settings in force and where each came from");
  add_target_options(sub, *options);
  sub->add_flag("--json", options->json, "Print JSON");
  sub->callback([&global, options] { run_show(global, *options); });
}

void add_set(CLI::App& config, const GlobalOptions& global) {
  auto options = std::make_shared<TargetOptions>();
  CLI::App* sub = config.add_subcommand("set", "Set a key in a section");
  add_target_options(sub, *options);
  sub->add_option("key", options->key, "Key name (see xoltlog-config(5))")->required();
  sub->add_option("value", options->value, "New value")->required();
  sub->callback([&global, options] { run_set(global, *options); });
}

void add_unset(CLI::App& config, const GlobalOptions& global) {
  auto options = std::make_shared<TargetOptions>();
  CLI::App* sub = config.add_subcommand(
      "unset", "Remove a key from a section, so that the inherited value applies");
  add_target_options(sub, *options);
  sub->add_option("key", options->key, "Key name")->required();
  sub->callback([&global, options] { run_unset(global, *options); });
}

}  // namespace

void add_config_settings(CLI::App& config, const GlobalOptions& global) {
  add_show(config, global);
  add_set(config, global);
  add_unset(config, global);
}

}  // namespace xoltlog::tool
