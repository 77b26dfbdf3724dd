xoltlog_add_test(rir_test
  rir/typed_build_test.cpp
  rir/text_build_test.cpp
  rir/access_test.cpp
  rir/alloc_failure_test.cpp
  rir/append_test.cpp
  support/allocation_faults.cpp  # replaces operator new in this executable
)
