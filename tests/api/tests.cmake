xoltlog_add_test(api_test
  api/identity_test.cpp
  api/handle_test.cpp
  api/reload_test.cpp
  api/entry_test.cpp
  api/entry_memory_test.cpp
  api/context_test.cpp
  api/concurrency_test.cpp
  support/allocation_faults.cpp  # replaces operator new in this executable
)
# Console copies are rendered by the formatting library, which the core
# looks for beside the program.
add_dependencies(api_test xoltLogFormatMsg)
add_custom_command(TARGET api_test POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E create_symlink $<TARGET_FILE:xoltLogFormatMsg>
          $<TARGET_FILE_DIR:api_test>/$<TARGET_FILE_NAME:xoltLogFormatMsg>)
