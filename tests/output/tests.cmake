xoltlog_add_test(output_test
  output/event_log_test.cpp
  output/rsyslog_test.cpp
)
