# The loading tests find this library by its bare name beside the test program.
add_library(config_probe_library MODULE config/probe_library.c)
set_target_properties(config_probe_library PROPERTIES
  PREFIX "" OUTPUT_NAME "xoltLogTestProbe_3"
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(config_probe_library PRIVATE xoltlog_warnings)

xoltlog_add_test(config_test
  config/config_record_test.cpp
  config/shared_lib_test.cpp
  config/shared_lib_memory_test.cpp
  support/allocation_faults.cpp  # replaces operator new in this executable
)
add_dependencies(config_test config_probe_library)
