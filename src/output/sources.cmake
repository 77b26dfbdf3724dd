# Outputs beside the log file: the console and the event log.
list(APPEND XOLTLOG_CORE_SOURCES
  output/event_log_output.cpp
  output/format_library.cpp
  output/event_report.cpp
  output/dispatch.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES output/exports.cpp)
