# The log file header line: filling, formatting, parsing and writing it.
list(APPEND XOLTLOG_CORE_SOURCES
  writer/header_line.cpp
  writer/header_write.cpp
)
