# The configuration readers through the exported functions, over the
# registry stand-in and store files.
xoltlog_add_test(config_read_test
  config/read_fixture.cpp
  config/config_read_test.cpp
  config/config_collect_test.cpp
  config/config_bad_input_test.cpp
  support/allocation_faults.cpp  # replaces operator new in this executable
)
