xoltlog_add_test(names_test platform/host_address_test.cpp)
xoltlog_add_test(writer_test
  writer/writer_open_test.cpp
  writer/rollover_test.cpp
  writer/series_processes_test.cpp
  writer/writer_locking_test.cpp
  writer/deleted_file_test.cpp
)
# operator new is replaced in this executable to fail chosen allocations.
xoltlog_add_test(writer_alloc_test
  writer/allocation_failure_test.cpp
  support/allocation_faults.cpp
)
