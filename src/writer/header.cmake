# Sources of this part: append core files to XOLTLOG_CORE_SOURCES and
# exported adapters to XOLTLOG_EXPORT_SOURCES (paths relative to src/).
