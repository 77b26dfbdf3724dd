xoltlog_add_test(frame_test
  frame/memory_test.cpp
  frame/lock_test.cpp
  frame/result_map_test.cpp
)
