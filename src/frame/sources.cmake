list(APPEND XOLTLOG_CORE_SOURCES
  frame/lock.cpp
  frame/library_lock.cpp
  frame/result_map.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES frame/exports.cpp)
