# Sources of this part: append core files to XOLTLOG_CORE_SOURCES and
# exported adapters to XOLTLOG_EXPORT_SOURCES (paths relative to src/).
list(APPEND XOLTLOG_CORE_SOURCES platform/${XOLTLOG_PLATFORM_DIR}/dir_listing.cpp)
list(APPEND XOLTLOG_EXPORT_SOURCES platform/listing_exports.cpp)
