xoltlog_add_test(query_test access/query_test.cpp)
