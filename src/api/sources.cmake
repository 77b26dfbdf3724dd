list(APPEND XOLTLOG_EXPORT_SOURCES api/exports.cpp api/handle_open.cpp api/handle_close.cpp
     api/reload.cpp api/levels.cpp api/handle_exports.cpp api/log_msg.cpp api/entry_build.cpp
     api/entry_render.cpp api/entry_exports.cpp api/context.cpp api/context_exports.cpp)
