list(APPEND XOLTLOG_EXPORT_SOURCES api/exports.cpp)
