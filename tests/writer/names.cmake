xoltlog_add_test(names_test platform/host_address_test.cpp)
xoltlog_add_test(writer_test
  writer/writer_open_test.cpp
  writer/rollover_test.cpp
  writer/series_processes_test.cpp
)
