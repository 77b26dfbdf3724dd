xoltlog_add_test(names_test
  writer/file_names_test.cpp
  platform/host_address_test.cpp
)
