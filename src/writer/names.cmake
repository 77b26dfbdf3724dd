# Sources of this part: append core files to XOLTLOG_CORE_SOURCES and
# exported adapters to XOLTLOG_EXPORT_SOURCES (paths relative to src/).
list(APPEND XOLTLOG_CORE_SOURCES
  writer/file_names.cpp
  writer/name_fields.cpp
)
