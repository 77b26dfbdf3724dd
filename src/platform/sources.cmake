# Platform layer: process, clock, locks and files.
list(APPEND XOLTLOG_CORE_SOURCES
  platform/heap.cpp
  platform/disk_full.cpp
  platform/host_address.cpp
  platform/library_name.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/shared_lib.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/host_lookup.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/critical_section.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/process.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/clock.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/syscalls.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/sddl_mode.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/lock_slot.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/region_file.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/lock_region.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/tracked_size.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/file_context.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/file_append.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/file_status.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/directories.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/syslog_datagram.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/event_log.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES platform/file_exports.cpp platform/host_exports.cpp
  platform/shared_lib_exports.cpp)
