# Sources of this part: append core files to XOLTLOG_CORE_SOURCES and
# exported adapters to XOLTLOG_EXPORT_SOURCES (paths relative to src/).
list(APPEND XOLTLOG_CORE_SOURCES
  writer/header_write.cpp
  writer/file_writer.cpp
  writer/rollover_time.cpp
  writer/writer_hooks.cpp
  writer/file_start.cpp
  writer/shared_writer.cpp
  writer/writer_open.cpp
  writer/writer_close.cpp
  writer/write_path.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES writer/exports.cpp)
