list(APPEND XOLTLOG_CORE_SOURCES
  message/sequence.cpp
  message/record.cpp
  message/record_attributes.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES message/exports.cpp)
