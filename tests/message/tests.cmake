xoltlog_add_test(message_test
  message/record_test.cpp
  message/record_attributes_test.cpp
  message/text_buffer_test.cpp
  message/decimal_test.cpp
  message/record_serializer_test.cpp
  message/record_parser_test.cpp
  message/record_allocation_test.cpp
)
xoltlog_add_test(message_text_test
  message/text_render_test.cpp
  message/record_parse_faults_test.cpp
  message/printf_text_test.cpp
  support/allocation_faults.cpp  # replaces operator new in this executable
)
