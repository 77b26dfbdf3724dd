xoltlog_add_test(query_test access/query_test.cpp access/file_list_test.cpp
  access/recycle_processes_test.cpp)
