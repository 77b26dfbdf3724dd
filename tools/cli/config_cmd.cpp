// xoltlog config register|remove|list
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/config_cmd.h"
#include "cli/config_keys.h"
#include "cli/config_store.h"
#include "cli/tool_error.h"
#include "xoltlog/config_read.h"
#include "xoltlog/config_write.h"
#include "xoltlog/property_store.h"

namespace xoltlog::tool {
namespace {

struct RegisterOptions {
  std::string product;
  std::string names;
  std::string file;
  std::string key;
  std::string log_directory;
};

std::uint32_t product_number(const std::string& text) {
  const std::optional<std::uint32_t> id = parse_id(text);
  if (!id) {
    throw ToolError(ExitCode::kUsage,
                    "a product id is a number from 1 to 4294967295, not \"" + text + "\"",
                    "register with a number, e.g. 'xoltlog config register 4711 \"crm,CRM "
                    "Server\"'; the names follow it");
  }
  return *id;
}

// Where a new product's sections go unless the command names a place: a
// store file beside the registration store file, or a key below the
// product's registration key, which its removal then takes along.
std::string default_location(std::uint32_t product) {
  const std::string store = GetXoltLogCfgLoc();
  if (!is_store_file(store)) return store + "\\" + std::to_string(product);
  const std::size_t slash = store.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : store.substr(0, slash);
  return directory + "/product-" + std::to_string(product) + ".conf";
}

std::string chosen_location(const RegisterOptions& options, std::uint32_t product) {
  if (!options.file.empty()) {
    // Every program that logs for the product reads this path, from
    // wherever it runs: only an absolute one means the same file to all.
    if (!is_store_file(options.file) || options.file.front() != '/') {
      throw ToolError(ExitCode::kUsage,
                      "a store file is an absolute path whose name contains \".conf\"",
                      "for example --file /etc/xoltlog/product.conf");
    }
    return options.file;
  }
  if (!options.key.empty()) {
    if (is_store_file(options.key)) {
      throw ToolError(ExitCode::kUsage, "a registry key path must not contain \".conf\"",
                      "for a store file give --file PATH instead of --key");
    }
    return options.key;
  }
  return default_location(product);
}

void create_default_section(const std::string& location) {
  XoltLogPropertyStore handle{};
  const std::uint32_t result = CreatePropertyString(location.c_str(), "Default", &handle);
  utiClosePropertyStore(&handle);
  check_result(result, ExitCode::kStore, "cannot create the product's sections at " + location,
               "check that the directory or key can be created and written");
}

void set_default_directory(std::uint32_t product, const std::string& directory) {
  OwnedRecord record;
  check_result(xoltLogReadCfg(product, XOLTLOG_DEFAULT_ORIGINATOR, &record.cfg),
               ExitCode::kStore, "cannot read the new product's settings", store_hint());
  if (xoltLogCfgSetDirectory(&record.cfg, directory.c_str(), nullptr) != XOLTLOG_OK) {
    throw ToolError(ExitCode::kRefused, "refused log directory \"" + directory + "\"",
                    "give a directory of at most 1023 characters");
  }
  record.cfg.change_mask = XOLTLOG_CFG_MASK_DIRECTORY;
  check_result(xoltLogWriteCfg(product, XOLTLOG_DEFAULT_ORIGINATOR, &record.cfg),
               ExitCode::kStore, "cannot write the log directory",
               "check that the store can be written, then 'xoltlog config set " +
                   std::to_string(product) + " LogDirectory DIR'");
}

void run_register(const GlobalOptions& global, const RegisterOptions& options) {
  apply_store_option(global);
  const std::uint32_t product = product_number(options.product);
  if (options.names.empty() || options.names.find_first_of("\r\n") != std::string::npos) {
    throw ToolError(ExitCode::kUsage, "the names are one line, not empty",
                    "give comma-separated names, the short name first: \"crm,CRM Server\"");
  }
  const std::string location = chosen_location(options, product);
  const std::uint32_t result =
      xoltLogAddProductCfg(product, options.names.c_str(), location.c_str());
  if (result == XOLTLOG_E_ALREADY_REGISTERED) {
    throw ToolError(ExitCode::kRefused, "product " + options.product + " is already registered",
                    "remove it first with 'xoltlog config remove " + options.product + "'");
  }
  check_result(result, ExitCode::kStore, "cannot register product " + options.product +
                                             " in " + GetXoltLogCfgLoc(),
               store_hint());
  create_default_section(location);
  if (!options.log_directory.empty()) set_default_directory(product, options.log_directory);
}

void run_remove(const GlobalOptions& global, const std::string& text) {
  apply_store_option(global);
  require_store();
  const std::uint32_t product = resolve_product(text);
  const std::string location = product_location(product);
  const std::uint32_t result = xoltLogRemoveProductCfg(product);
  // With a store file the library reports the removal of a registry key
  // the product never had; what counts is whether it is still registered.
  char* path = nullptr;
  const bool gone = GetProductCfgPath(nullptr, product, &path) == XOLTLOG_E_CFG_STORE;
  take_text(path);
  if (!gone) {
    check_result(result, ExitCode::kStore, "cannot remove product " + std::to_string(product),
                 store_hint());
  }
  if (is_store_file(location)) {
    std::cout << "product " << product << " removed; its settings stay in " << location << "\n";
  }
}

// The records of one product, in the order the readers give them.
struct ProductListing {
  std::uint32_t id = 0;
  std::string names;
  std::string location;
  std::vector<std::pair<std::uint32_t, std::string>> originators;
  std::vector<std::string> logsets;
};

std::vector<ProductListing> collect_products() {
  RecordArray all;
  all.read();
  std::vector<ProductListing> products;
  for (const XoltLogCfg* cfg : all.records()) {
    if (products.empty() || products.back().id != cfg->product_id) {
      products.push_back({cfg->product_id, cfg->product_names, {}, {}, {}});
      char* path = nullptr;
      if (GetProductCfgPath(nullptr, cfg->product_id, &path) == XOLTLOG_OK) {
        products.back().location = *take_text(path);
      }
    }
    ProductListing& product = products.back();
    if (cfg->logset_marker != 0) {
      product.logsets.emplace_back(cfg->logset_name != nullptr ? cfg->logset_name : "");
    } else if (cfg->originator_id != XOLTLOG_DEFAULT_ORIGINATOR) {
      product.originators.emplace_back(cfg->originator_id, cfg->originator_names);
    }
  }
  return products;
}

void print_products(const std::vector<ProductListing>& products) {
  for (const ProductListing& product : products) {
    std::cout << product.id << "  " << product.names << "\n";
    std::cout << "  configuration: " << product.location << "\n";
    std::cout << "  originators:";
    for (const auto& [id, names] : product.originators) {
      std::cout << " " << id << (names.empty() ? "" : " (" + names + ")");
    }
    std::cout << (product.originators.empty() ? " none\n" : "\n") << "  logsets:";
    for (const std::string& logset : product.logsets) std::cout << " " << logset;
    std::cout << (product.logsets.empty() ? " none\n" : "\n");
  }
}

void print_products_json(const std::vector<ProductListing>& products) {
  nlohmann::json list = nlohmann::json::array();
  for (const ProductListing& product : products) {
    nlohmann::json originators = nlohmann::json::array();
    for (const auto& [id, names] : product.originators) {
      originators.push_back({{"id", id}, {"names", names}});
    }
    list.push_back({{"id", product.id},
                    {"names", product.names},
                    {"configuration", product.location},
                    {"originators", originators},
                    {"logsets", product.logsets}});
  }
  std::cout << list.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

void run_list(const GlobalOptions& global, bool json) {
  apply_store_option(global);
  require_store();
  const std::vector<ProductListing> products = collect_products();
  if (json) {
    print_products_json(products);
  } else if (products.empty()) {
    std::cout << "no products are registered in " << GetXoltLogCfgLoc() << "\n";
  } else {
    print_products(products);
  }
}

void add_register(CLI::App& config, const GlobalOptions& global) {
  auto options = std::make_shared<RegisterOptions>();
  CLI::App* sub = config.add_subcommand("register", "Register a product in the store");
  sub->add_option("product", options->product, "Product id (1 to 4294967295)")->required();
  sub->add_option("names", options->names,
                  "Comma-separated product names, the short name first")
      ->required();
  auto* file = sub->add_option("--file", options->file,
                               "Keep the product's settings in this store file (name "
                               "contains \".conf\"); default: product-ID.conf beside the store");
  sub->add_option("--key", options->key,
                  "Keep the product's settings below this registry key; default: below "
                  "the product's registration key")
      ->excludes(file);
  sub->add_option("--log-dir", options->log_directory,
                  "Log directory of the product's Default section");
  sub->callback([&global, options] { run_register(global, *options); });
}

void add_remove(CLI::App& config, const GlobalOptions& global) {
  auto product = std::make_shared<std::string>();
  CLI::App* sub = config.add_subcommand("remove", "Remove a product's registration");
  sub->add_option("product", *product, "Product id or name")->required();
  sub->callback([&global, product] { run_remove(global, *product); });
}

void add_list(CLI::App& config, const GlobalOptions& global) {
  auto json = std::make_shared<bool>(false);
  CLI::App* sub =
      config.add_subcommand("list", "List registered products, their originators and logsets");
  sub->add_flag("--json", *json, "Print JSON");
  sub->callback([&global, json] { run_list(global, *json); });
}

void add_config(CLI::App& app, const GlobalOptions& global) {
  CLI::App* config = app.add_subcommand("config", "Register products and show or change settings");
  config->require_subcommand(1);
  add_register(*config, global);
  add_remove(*config, global);
  add_list(*config, global);
  add_config_settings(*config, global);
}

const CommandRegistration kRegistration(10, add_config);

}  // namespace
}  // namespace xoltlog::tool
