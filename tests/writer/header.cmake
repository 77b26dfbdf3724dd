xoltlog_add_test(header_test writer/header_line_test.cpp)
