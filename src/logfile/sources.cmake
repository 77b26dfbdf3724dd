# The log file format that the writer and the tools share: file names and
# their parsing, the header line. Pure formatting and parsing.
list(APPEND XOLTLOG_CORE_SOURCES
  logfile/file_names.cpp
  logfile/file_name_parse.cpp
  logfile/header_line.cpp
)
