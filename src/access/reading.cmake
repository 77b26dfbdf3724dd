# Reading log files for tools and the writer: record lines and header lines.
list(APPEND XOLTLOG_CORE_SOURCES
  access/record_reader.cpp
  access/header_reader.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES access/reading_exports.cpp)
