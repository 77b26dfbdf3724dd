list(APPEND XOLTLOG_CORE_SOURCES
  message/sequence.cpp
  message/record.cpp
  message/record_attributes.cpp
  message/text_buffer.cpp
  message/record_arguments.cpp
  message/record_serializer.cpp
  message/record_parser.cpp
  message/record_from_line.cpp
  message/code_page_text.cpp
  message/argument_text.cpp
  message/text_render.cpp
  message/printf_format.cpp
  message/printf_direct.cpp
  message/wide_argument.cpp
)
list(APPEND XOLTLOG_EXPORT_SOURCES message/exports.cpp message/record_format_exports.cpp
     message/text_exports.cpp)
