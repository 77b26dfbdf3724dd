xoltlog_add_test(reading_test access/reading_test.cpp)
