# Sources of this part: append core files to XOLTLOG_CORE_SOURCES and
# exported adapters to XOLTLOG_EXPORT_SOURCES (paths relative to src/).
list(APPEND XOLTLOG_CORE_SOURCES
  access/log_file_entry.cpp
  access/latest_log.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES access/discovery_exports.cpp)
