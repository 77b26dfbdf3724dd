# End-to-end tests of the xoltlog tool: the real binary on a real store
# and real log files. Other command tests add their sources to the list.
xoltlog_add_test(tools_test
  tools/run_tool.cpp
  tools/config_cmd_test.cpp
  tools/log_cmd_test.cpp
)
target_compile_definitions(tools_test PRIVATE XOLTLOG_TOOL_PATH="$<TARGET_FILE:xoltlog_tool>")
add_dependencies(tools_test xoltlog_tool)
