xoltlog_add_test(api_test
  api/identity_test.cpp
)
