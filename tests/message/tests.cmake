xoltlog_add_test(message_test
  message/record_test.cpp
  message/record_attributes_test.cpp
  message/text_buffer_test.cpp
  message/record_serializer_test.cpp
  message/record_parser_test.cpp
  message/record_allocation_test.cpp
)
