# Platform layer: process, clock, locks and files.
list(APPEND XOLTLOG_CORE_SOURCES
  platform/${XOLTLOG_PLATFORM_DIR}/critical_section.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/process.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/clock.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/syscalls.cpp
)
