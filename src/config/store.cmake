# The property store over the registry or a store file (paths relative to
# src/).
list(APPEND XOLTLOG_CORE_SOURCES
  config/store_lines.cpp
  config/store_file_read.cpp
  config/store_file_write.cpp
  config/store_registry.cpp
  config/store_backend.cpp
  config/store_typed.cpp
  config/store_layout.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES config/store_exports.cpp)
