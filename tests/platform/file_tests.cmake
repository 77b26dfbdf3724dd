xoltlog_add_test(platform_file_test
  platform/sddl_mode_test.cpp
  platform/file_primitives_test.cpp
  platform/lock_region_test.cpp
  platform/tracked_size_test.cpp
)
add_test(NAME posix_headers_only_in_posix
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/platform/check_posix_headers.sh
                 ${PROJECT_SOURCE_DIR}/src)
