# Query trees, and the file lists built on them: collecting, selecting,
# fetching, copying and deleting log files.
list(APPEND XOLTLOG_CORE_SOURCES
  access/query_eval.cpp
  access/query_tools.cpp
  access/collect.cpp
  access/manageable.cpp
  access/fetch.cpp
  access/file_copy.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES access/query_exports.cpp access/file_list_exports.cpp)
