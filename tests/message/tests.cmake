xoltlog_add_test(message_test
  message/record_test.cpp
  message/record_attributes_test.cpp
)
