xoltlog_add_test(platform_file_test
  platform/sddl_mode_test.cpp
  platform/file_primitives_test.cpp
  platform/lock_region_test.cpp
  platform/tracked_size_test.cpp
)
