# Platform layer: text conversions and time utilities.
list(APPEND XOLTLOG_CORE_SOURCES
  platform/utf8_check.cpp
  platform/text_convert.cpp
  platform/code_page_convert.cpp
  platform/time_text.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/code_page.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/time_breakdown.cpp
  platform/${XOLTLOG_PLATFORM_DIR}/absolute_path.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES
  platform/text_exports.cpp
  platform/time_exports.cpp
)
