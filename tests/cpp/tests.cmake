# The C++ convenience header, compiled with the project's warnings.
xoltlog_add_test(cpp_layer_test
  cpp/layer_test.cpp
)
