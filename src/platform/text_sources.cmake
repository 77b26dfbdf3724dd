# Platform layer: text conversions and time utilities.
list(APPEND XOLTLOG_CORE_SOURCES
)
list(APPEND XOLTLOG_EXPORT_SOURCES
)
