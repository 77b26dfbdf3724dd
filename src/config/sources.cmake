list(APPEND XOLTLOG_CORE_SOURCES
  config/record.cpp
  config/accessors.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES
  config/getter_exports.cpp
  config/setter_exports.cpp
  config/record_exports.cpp
)
