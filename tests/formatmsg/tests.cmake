# The formatting library: its catalog internals linked directly, and the
# built xoltLogFormatMsg_3.so loaded the way the logging library loads it,
# through libxoltlog.so's SharedLibLoad.
xoltlog_add_test(formatmsg_test
  formatmsg/catalog_test.cpp
  formatmsg/format_library_test.cpp
)
target_link_libraries(formatmsg_test PRIVATE xoltformatmsg_core ${CMAKE_DL_LIBS})
target_compile_definitions(formatmsg_test PRIVATE
  XOLTLOG_TEST_LIBXOLTLOG="$<TARGET_FILE:xoltlog>")
add_dependencies(formatmsg_test xoltLogFormatMsg)

# The library exports LogFormatMessage and nothing else.
add_test(NAME exported_names_formatmsg
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/exports/check_exports.sh
                 $<TARGET_FILE:xoltLogFormatMsg> ${PROJECT_SOURCE_DIR}/formatmsg/format_message.h)
