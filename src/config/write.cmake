# Writing configuration records back to the store, and product registration
# (paths relative to src/).
list(APPEND XOLTLOG_CORE_SOURCES
  config/key_writer.cpp
  config/section_keys.cpp
  config/product_writer.cpp
  config/logset_writer.cpp
  config/registration.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES config/write_exports.cpp)
