# Reading configuration records from the store (paths relative to src/).
list(APPEND XOLTLOG_CORE_SOURCES
  config/key_rules.cpp
  config/section_reader.cpp
  config/config_lookups.cpp
  config/config_read.cpp
  config/config_collect.cpp
  config/config_products.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES config/read_exports.cpp)
