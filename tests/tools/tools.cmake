# The xoltlog tool: its query language compiled into a unit test, and the
# real binary run end to end on real stores and log files.
set(XOLTLOG_WHERE_SOURCES where_lex.cpp where_parse.cpp where_eval.cpp where_tree.cpp where_time.cpp)
list(TRANSFORM XOLTLOG_WHERE_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/tools/cli/)
xoltlog_add_test(tools_where_test tools/where_test.cpp ${XOLTLOG_WHERE_SOURCES})
target_include_directories(tools_where_test PRIVATE ${PROJECT_SOURCE_DIR}/tools)

xoltlog_add_test(tools_files_test tools/files_test.cpp)
target_compile_definitions(tools_files_test PRIVATE XOLTLOG_TOOL_PATH="$<TARGET_FILE:xoltlog_tool>")
add_dependencies(tools_files_test xoltlog_tool)

xoltlog_add_test(tools_show_test tools/show_test.cpp)
target_compile_definitions(tools_show_test PRIVATE XOLTLOG_TOOL_PATH="$<TARGET_FILE:xoltlog_tool>")
add_dependencies(tools_show_test xoltlog_tool xoltLogFormatMsg)

xoltlog_add_test(tools_show_follow_test tools/show_follow_test.cpp)
target_compile_definitions(tools_show_follow_test PRIVATE XOLTLOG_TOOL_PATH="$<TARGET_FILE:xoltlog_tool>")
add_dependencies(tools_show_follow_test xoltlog_tool xoltLogFormatMsg)

# The rsyslog forwarding recipe of docs/examples, run by two real rsyslogd.
xoltlog_add_test(tools_forwarding_test tools/forwarding_test.cpp)
target_compile_definitions(tools_forwarding_test PRIVATE XOLTLOG_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
  XOLTLOG_TOOL_PATH="$<TARGET_FILE:xoltlog_tool>")
