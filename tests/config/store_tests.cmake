xoltlog_add_test(store_test
  config/store_both_test.cpp
  config/store_file_test.cpp
  platform/registry_test.cpp
  support/allocation_faults.cpp  # replaces operator new in this executable
)
