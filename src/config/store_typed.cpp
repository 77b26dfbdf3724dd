#include "config/store_typed.h"

#include <cstring>
#include <string>

#include "config/store_backend.h"
#include "config/store_file.h"
#include "config/store_lines.h"
#include "config/store_registry.h"

namespace xoltlog {
namespace {

constexpr char kTrue[] = "true";
constexpr char kFalse[] = "false";

bool equals_true_ignoring_case(const char* text) noexcept {
  for (std::size_t i = 0; i < sizeof kTrue; ++i) {
    const char c = text[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kTrue[i]) {
      return false;
    }
  }
  return true;
}

// The registry value of name when it has the type wanted.
bool registry_value_of_type(const XoltLogPropertyStore& handle, const char* name,
                            std::uint32_t type, platform::RegistryValue& value) {
  return registry_store_query(handle, name, value) == XOLTLOG_STORE_OK && value.type == type;
}

}  // namespace

std::uint32_t store_get_bool(XoltLogPropertyStore* handle, const char* name,
                             std::uint32_t* flag) {
  if (handle == nullptr || name == nullptr || flag == nullptr) {
    return XOLTLOG_STORE_E_ARG;
  }
  if (is_registry_store(*handle)) {
    platform::RegistryValue value;
    if (!registry_value_of_type(*handle, name, platform::kRegistryText, value)) {
      return XOLTLOG_STORE_E_PROPERTY;
    }
    *flag = equals_true_ignoring_case(reinterpret_cast<const char*>(value.data.get())) ? 1 : 0;
    return XOLTLOG_STORE_OK;
  }
  std::string value;
  const std::uint32_t result = file_store_get(*handle, name, value);
  if (result == XOLTLOG_STORE_OK) {
    *flag = value == kTrue ? 1 : 0;
  }
  return result;
}

std::uint32_t store_set_bool(XoltLogPropertyStore* handle, const char* name,
                             const std::uint32_t* flag) {
  if (handle == nullptr || name == nullptr || flag == nullptr) {
    return XOLTLOG_STORE_E_ARG;
  }
  const char* text = *flag == 1 ? kTrue : kFalse;
  return is_registry_store(*handle) ? registry_store_set_text(*handle, name, text)
                                    : file_store_set(*handle, name, text);
}

std::uint32_t store_get_number(XoltLogPropertyStore* handle, const char* name,
                               std::uint32_t* number) {
  if (handle == nullptr || name == nullptr || number == nullptr) {
    return XOLTLOG_STORE_E_ARG;
  }
  if (is_registry_store(*handle)) {
    platform::RegistryValue value;
    if (!registry_value_of_type(*handle, name, platform::kRegistryNumber, value) ||
        value.size != sizeof *number) {
      return XOLTLOG_STORE_E_PROPERTY;
    }
    std::memcpy(number, value.data.get(), sizeof *number);
    return XOLTLOG_STORE_OK;
  }
  std::string value;
  const std::uint32_t result = file_store_get(*handle, name, value);
  if (result == XOLTLOG_STORE_OK) {
    *number = parse_store_number(value);
  }
  return result;
}

std::uint32_t store_set_number(XoltLogPropertyStore* handle, const char* name,
                               const std::uint32_t* number) {
  if (handle == nullptr || name == nullptr || number == nullptr) {
    return XOLTLOG_STORE_E_ARG;
  }
  if (is_registry_store(*handle)) {
    return registry_store_set(*handle, name, platform::kRegistryNumber, number, sizeof *number);
  }
  return file_store_set(*handle, name, std::to_string(static_cast<std::int32_t>(*number)));
}

}  // namespace xoltlog
