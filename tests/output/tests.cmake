xoltlog_add_test(output_test
  output/event_log_test.cpp
  output/rsyslog_test.cpp
  output/dispatch_test.cpp
)
# The core in the tests looks for the formatting library beside the test
# program, as the shared library does beside itself.
add_dependencies(output_test xoltLogFormatMsg)
add_custom_command(TARGET output_test POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E create_symlink $<TARGET_FILE:xoltLogFormatMsg>
          $<TARGET_FILE_DIR:output_test>/$<TARGET_FILE_NAME:xoltLogFormatMsg>)

# The same outputs with no formatting library beside the program, and with
# a library of that name that lacks its function.
add_library(output_format_stub MODULE output/format_stub.c)
set_target_properties(output_format_stub PROPERTIES
  PREFIX "" OUTPUT_NAME "xoltLogFormatMsg_${PROJECT_VERSION_MAJOR}"
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/format_stub)
foreach(kind format_absent format_stub)
  xoltlog_add_test(output_${kind}_test output/format_library_missing_test.cpp)
  set_target_properties(output_${kind}_test PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${kind})
endforeach()
add_dependencies(output_format_stub_test output_format_stub)
