#include "cli/log_selection.h"

#include <ctime>
#include <memory>
#include <set>
#include <utility>

#include "cli/config_keys.h"
#include "cli/config_store.h"
#include "cli/tool_error.h"
#include "xoltlog/xoltlog.h"

namespace xoltlog::tool {
namespace {

// The records a selection reads: every record of the store, and those
// read one by one for an originator or a logset; released together.
struct ConfigRecords {
  RecordArray store;
  std::vector<std::unique_ptr<OwnedRecord>> singles;

  // Every record; a store without any product is refused, as there is
  // nothing to select from.
  void read_all() {
    store.read();
    if (store.records().empty()) {
      throw ToolError(ExitCode::kNotFound,
                      std::string("no product is registered in the store ") + GetXoltLogCfgLoc(),
                      "register one with 'xoltlog config register', or name another store "
                      "with --store");
    }
  }
  const std::vector<XoltLogCfg*>& all() const { return store.records(); }
  XoltLogCfg* add_single() { return &singles.emplace_back(std::make_unique<OwnedRecord>())->cfg; }
};

std::uint32_t id_from_name(const std::vector<XoltLogCfg*>& records, std::int32_t code,
                           const std::string& name) {
  return GetIdFromName(records.data(), static_cast<std::uint32_t>(records.size()), code,
                       name.c_str());
}

std::vector<XoltLogCfg*> of_product(const std::vector<XoltLogCfg*>& records,
                                    std::uint32_t product) {
  std::vector<XoltLogCfg*> kept;
  for (XoltLogCfg* record : records) {
    if (product == 0 || record->product_id == product) kept.push_back(record);
  }
  return kept;
}

// Originators without a section of their own write with the product's
// "Default" settings under their own identifier, and no record read from the
// store names them: their files are found by name in the directories of the
// selected records and given a record each.
void add_unsectioned_originators(ConfigRecords& store, std::vector<XoltLogCfg*>& records) {
  std::set<std::pair<std::uint32_t, std::uint32_t>> known;
  std::set<std::string> directories;
  for (const XoltLogCfg* record : records) {
    if (record->logset_marker != 0) continue;
    known.emplace(record->product_id, record->originator_id);
    if (record->log_directory[0] != '\0') directories.insert(record->log_directory);
  }
  for (const std::string& directory : directories) {
    XoltLogDirListing listing{};
    for (std::int32_t more = xoltLogOsListLogFilesBegin(&listing, directory.c_str()); more == 0;
         more = xoltLogOsListLogFilesNext(&listing)) {
      std::uint32_t product = 0, originator = 0;
      if (getidfromfilename(xoltLogOsListLogFilesName(&listing), &product, &originator) == 0 ||
          !known.emplace(product, originator).second) {
        continue;
      }
      XoltLogCfg* record = store.add_single();
      if (xoltLogReadCfg(product, originator, record) == 0 && record->log_directory == directory) {
        records.push_back(record);
      }
    }
    xoltLogOsListLogFilesEnd(&listing);
  }
}

std::vector<XoltLogCfg*> selected_records(const SelectionOptions& options, ConfigRecords& store,
                                          std::uint32_t product) {
  if (!options.originator.empty() && !options.logset.empty()) {
    throw ToolError(ExitCode::kUsage, "--originator and --logset exclude each other",
                    "give one of them: an originator's files, or a logset's");
  }
  if (product == 0 && (!options.originator.empty() || !options.logset.empty())) {
    throw ToolError(ExitCode::kUsage, "--originator and --logset need --product",
                    "name the product they belong to with --product");
  }
  if (!options.logset.empty()) {
    XoltLogCfg* record = store.add_single();
    check_result(xoltLogReadlogsetCfg(product, options.logset.c_str(), record),
                 ExitCode::kNotFound,
                 "no logset '" + options.logset + "' of product " + std::to_string(product),
                 products_hint());
    return {record};
  }
  if (!options.originator.empty()) {
    const std::uint32_t originator =
        originator_in(of_product(store.all(), product), options.originator);
    if (originator == 0) {
      throw ToolError(ExitCode::kNotFound,
                      "no originator '" + options.originator + "' of product " +
                          std::to_string(product),
                      products_hint());
    }
    XoltLogCfg* record = store.add_single();
    check_result(xoltLogReadCfg(product, originator, record), ExitCode::kStore,
                 "cannot read the settings of originator " + std::to_string(originator),
                 store_hint());
    return {record};
  }
  std::vector<XoltLogCfg*> records = of_product(store.all(), product);
  add_unsectioned_originators(store, records);
  return records;
}

// The entries of a list, released when the list is done with.
struct ListOwner {
  XoltLogFileList list{};
  ~ListOwner() {
    for (XoltLogFileEntry* entry = list.head; entry != nullptr;) {
      XoltLogFileEntry* next = entry->next;
      xoltLogOs_close(&entry->file);
      xoltLogFree(entry);
      entry = next;
    }
  }
};

std::string logset_name_of(const LogFile& file, const std::vector<XoltLogCfg*>& records,
                           const std::string& set_file_name) {
  for (const XoltLogCfg* record : records) {
    if (record->logset_marker == 0 || record->product_id != file.product ||
        record->logset_file_name == nullptr || set_file_name != record->logset_file_name) {
      continue;
    }
    return record->logset_name != nullptr ? record->logset_name : set_file_name;
  }
  return set_file_name;
}

}  // namespace

void add_selection_options(CLI::App* command, SelectionOptions& options) {
  command->add_option("--product,-p", options.product, "Product, by name or identifier");
  command->add_option("--originator,-o", options.originator,
                      "Originator of the product, by name or identifier");
  command->add_option("--logset,-l", options.logset, "Logset of the product");
  command->add_option("--where,-w", options.where,
                      "Filter expression, e.g. 'host = alpha and time >= -1d' (see xoltlog-where(7))");
}

WhereQuery parse_where(const std::string& expression, WhereQuery::Scope scope,
                       const NameResolver& resolve) {
  try {
    return WhereQuery::parse(expression, scope, resolve,
                             static_cast<std::int64_t>(std::time(nullptr)));
  } catch (const WhereError& error) {
    throw ToolError(error.not_found() ? ExitCode::kNotFound : ExitCode::kBadQuery,
                    "bad --where expression, " + describe_where_error(expression, error),
                    "see xoltlog-where(7) for the fields and the grammar");
  }
}

// The pieces every selection starts from: the store's records, the
// product named, the parsed expression, the records selected.
struct Selection {
  ConfigRecords store;
  std::uint32_t product = 0;
  std::uint32_t originator = 0;
  WhereQuery query;
  std::vector<XoltLogCfg*> records;

  Selection(const SelectionOptions& options, WhereQuery::Scope scope) : scope_(scope) {
    store.read_all();
    const std::vector<XoltLogCfg*> all = store.all();
    if (!options.product.empty()) {
      product = id_from_name(all, XOLTLOG_QUERY_PRODUCT, options.product);
      if (product == 0) {
        throw ToolError(ExitCode::kNotFound, "no product '" + options.product +
                                                 "' in the store " + GetXoltLogCfgLoc(),
                        products_hint());
      }
    }
    const std::vector<XoltLogCfg*> of_selected = of_product(all, product);
    query = parse_where(options.where, scope, [&](std::int32_t code, const std::string& name) {
      return id_from_name(code == XOLTLOG_QUERY_PRODUCT ? all : of_selected, code, name);
    });
    records = selected_records(options, store, product);
    if (!options.originator.empty()) originator = records.front()->originator_id;
  }

  // The entry as a LogFile, when the expression matches it.
  std::optional<LogFile> inspect(const XoltLogFileEntry& entry, bool read_records) const {
    LogFile file = inspect_log_file(entry.directory, entry.file_name, entry.time, read_records);
    char set_name[XOLTLOG_FIND_NAME_SIZE] = {};
    char date_time[13] = {};
    std::uint32_t set_product = 0;
    if (file.originator == 0 &&
        getSLidfromfilename(entry.file_name, &set_product, set_name, date_time) != 0) {
      file.logset = logset_name_of(file, records, set_name);
    }
    const FileFields fields = file_fields(file);
    const bool keep = scope_ == WhereQuery::Scope::kFiles ? query.matches(fields)
                                                          : query.may_match_records_of(fields);
    if (!keep) return std::nullopt;
    return file;
  }

 private:
  WhereQuery::Scope scope_;
};

SelectedFiles select_log_files(const SelectionOptions& options, bool read_records,
                               WhereQuery::Scope scope) {
  Selection selection(options, scope);
  std::vector<XoltLogCfg*> records = selection.records;
  SelectedFiles selected;
  ListOwner owner;
  owner.list.query = selection.query.file_tree();
  if (GetLogFiles(records.data(), static_cast<std::uint32_t>(records.size()), &owner.list) != 0) {
    selected.query = std::move(selection.query);
    return selected;
  }
  for (const XoltLogFileEntry* entry = owner.list.head; entry != nullptr; entry = entry->next) {
    if (auto file = selection.inspect(*entry, read_records)) {
      selected.files.push_back(std::move(*file));
    }
  }
  selected.query = std::move(selection.query);
  return selected;
}

SelectedFiles select_surplus_files(const SelectionOptions& options) {
  const Selection selection(options, WhereQuery::Scope::kFiles);
  SelectedFiles selected;
  ListOwner owner;
  const std::uint32_t result =
      options.logset.empty()
          ? xoltLogGetManageableLogFiles(selection.product, selection.originator, &owner.list)
          : xoltLogGetManageableLogFilesSL(selection.product, options.logset.c_str(), &owner.list);
  if (result == XOLTLOG_E_NO_MATCH) return selected;
  check_result(result, ExitCode::kStore, "cannot find the surplus log files", store_hint());
  // The fetch passes over files whose header cannot be read: recycling
  // never deletes those either.
  XoltLogFileEntry* entry = nullptr;
  while (xoltLogFetchNextFileEx(&owner.list, &entry) == 0) {
    if (auto file = selection.inspect(*entry, false)) selected.files.push_back(std::move(*file));
  }
  return selected;
}

FileFields file_fields(const LogFile& file) {
  return {file.product, file.originator, file.host, file.logset, file.start, file.last_write};
}

}  // namespace xoltlog::tool
