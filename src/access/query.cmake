# Query trees: evaluating them against log files, and the tools' helpers.
list(APPEND XOLTLOG_CORE_SOURCES
  access/query_eval.cpp
  access/query_tools.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES access/query_exports.cpp)
