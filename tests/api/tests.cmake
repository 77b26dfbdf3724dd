xoltlog_add_test(api_test
  api/identity_test.cpp
  api/handle_test.cpp
  api/reload_test.cpp
  api/entry_test.cpp
  api/entry_memory_test.cpp
)
