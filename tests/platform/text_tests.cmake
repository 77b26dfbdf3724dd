xoltlog_add_test(platform_text_test
  platform/text_convert_test.cpp
  platform/time_text_test.cpp
)
