# The xoltlog tool: its query language compiled into a unit test, and the
# real binary run end to end on real stores and log files.
set(XOLTLOG_WHERE_SOURCES where_lex.cpp where_parse.cpp where_eval.cpp where_tree.cpp where_time.cpp)
list(TRANSFORM XOLTLOG_WHERE_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/tools/cli/)
xoltlog_add_test(tools_where_test tools/where_test.cpp ${XOLTLOG_WHERE_SOURCES})
target_include_directories(tools_where_test PRIVATE ${PROJECT_SOURCE_DIR}/tools)

# End-to-end tests of the commands; other command tests add their sources
# to the list.
xoltlog_add_test(tools_test
  tools/run_tool.cpp
  tools/commands_test.cpp
  tools/config_cmd_test.cpp
  tools/log_cmd_test.cpp
  tools/files_test.cpp
  tools/show_test.cpp
  tools/show_blocks_test.cpp
  tools/series_fixture.cpp
  tools/show_follow_test.cpp
  tools/forwarding_test.cpp
)
target_compile_definitions(tools_test PRIVATE XOLTLOG_TOOL_PATH="$<TARGET_FILE:xoltlog_tool>"
  XOLTLOG_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
# show renders catalog messages through the formatting library.
add_dependencies(tools_test xoltlog_tool xoltLogFormatMsg)
