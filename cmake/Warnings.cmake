# Compiler warnings shared by every target of the project.
add_library(xoltlog_warnings INTERFACE)
target_compile_options(xoltlog_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wcast-align -Wformat=2 -Wundef -Wnull-dereference -Wdouble-promotion
  $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual>
  $<$<COMPILE_LANGUAGE:C>:-Wstrict-prototypes -Wmissing-prototypes>)
if(XOLTLOG_WERROR)
  target_compile_options(xoltlog_warnings INTERFACE -Werror)
endif()
