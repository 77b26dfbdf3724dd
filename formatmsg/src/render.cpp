#include "render.h"

#include <clocale>

#include "catalog_cache.h"
#include "catalog_paths.h"
#include "console_line.h"
#include "format_message.h"
#include "l10n_settings.h"
#include "message_text.h"

namespace xoltlog::fmt {
namespace {

bool has_args(const XoltLogMsg& msg) { return msg.rir.args != nullptr; }

std::string locale_name(const char* locale) {
  if (locale != nullptr) {
    return locale;
  }
  const char* current = std::setlocale(LC_MESSAGES, nullptr);
  return current != nullptr ? current : "";
}

}  // namespace

std::string message_text(const XoltLogMsg& msg, const XoltLogHandle* handle, const char* locale) {
  if (msg.text != nullptr) {
    return msg.text;
  }
  if (msg.rir.id == 0 && !has_args(msg)) {
    return {};
  }
  // The store and the catalogs are only consulted for catalog messages.
  std::vector<std::string> paths;
  if (msg.rir.id != 0) {
    const L10nSettings settings = l10n_settings(handle, msg);
    if (settings.usable()) {
      paths = catalog_paths(settings.dir, settings.resource, locale_name(locale));
    }
  }
  CatalogLookup lookup(std::move(paths), CatalogCache::instance());
  return rir_text(msg.rir, lookup);
}

std::optional<std::string> render(const XoltLogMsg& msg, const XoltLogHandle* handle,
                                  const char* locale, std::uint32_t selector) {
  switch (selector) {
    case XOLTLOG_FORMAT_CONSOLE:
      return console_line(msg, message_text(msg, handle, locale), console_colour());
    case XOLTLOG_FORMAT_EVENT:
      return message_text(msg, handle, locale);
    default:
      return std::nullopt;
  }
}

}  // namespace xoltlog::fmt
