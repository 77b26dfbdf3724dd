# The configuration writers and product registration, through the exported
# functions, on both backends.
xoltlog_add_test(config_write_test
  config/config_write_test.cpp
  config/registration_test.cpp
  config/write_golden_test.cpp
)
target_compile_definitions(config_write_test PRIVATE
  XOLTLOG_GOLDEN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/config/golden")
