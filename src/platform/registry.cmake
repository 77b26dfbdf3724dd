# The registry stand-in and the whole-file replacement it is built on
# (paths relative to src/).
list(APPEND XOLTLOG_CORE_SOURCES
  platform/${XOLTLOG_PLATFORM_DIR}/file_replace.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/registry_files.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/registry_keys.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/registry_values.cpp
)
