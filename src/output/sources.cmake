# Outputs beside the log file: the event log.
list(APPEND XOLTLOG_CORE_SOURCES output/event_log_output.cpp)
list(APPEND XOLTLOG_EXPORT_SOURCES output/exports.cpp)
