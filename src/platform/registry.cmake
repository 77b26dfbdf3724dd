# The registry stand-in, and the file paths, line reading and whole-file
# replacement that it and the store file are built on (paths relative to
# src/).
list(APPEND XOLTLOG_CORE_SOURCES
  platform/${XOLTLOG_PLATFORM_DIR}/file_path.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/line_file.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/file_replace.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/registry_files.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/registry_keys.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/registry_values.cpp
)
