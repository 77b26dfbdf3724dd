// The exported context operations, and the installation of the writer's
// hook that re-writes live contexts into every new file.
#include <cstdarg>
#include <cstdint>

#include "api/context.h"
#include "frame/library_lock.h"
#include "writer/writer_hooks.h"
#include "xoltlog/context.h"

namespace {

// Contexts exist only through this file's operations, so installing the
// hook with it puts it in place before any context can.
[[maybe_unused]] const bool kRewriteHookInstalled =
    (xoltlog::install_rewrite_contexts_hook(&xoltlog::rewrite_live_contexts), true);

// Storage that is the parent itself, or a context still attached to the
// parent's writer, would make the writer's list loop.
bool refused_as_context(const xoltlog::LibraryLockGuard& held, const XoltLogHandle& parent,
                        const XoltLogHandle& context) noexcept {
  return &parent == &context || xoltlog::attached_to_writer_of(held, parent, context);
}

}  // namespace

extern "C" {

XOLTLOG_API uint32_t xoltLogCreateContext(XoltLogHandle* parent, XoltLogHandle* context,
                                          const char* title, uint32_t id, const char* format,
                                          ...) noexcept {
  if (parent == nullptr || context == nullptr || format == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  if (refused_as_context(xoltlog::LibraryLockGuard("xoltLogCreateContext()"), *parent, *context)) {
    return XOLTLOG_E_INVALID_ARG;
  }
  va_list args;
  va_start(args, format);
  const uint32_t built = xoltlog::build_context_record(*parent, *context, title, id, format, args);
  va_end(args);
  if (built != XOLTLOG_OK) {
    return built;
  }
  return xoltLogCreateContextToFile(parent, context, &context->context_record);
}

XOLTLOG_API uint32_t xoltLogCreateContextToFile(XoltLogHandle* parent, XoltLogHandle* context,
                                                XoltLogMsg* record) noexcept {
  if (parent == nullptr || context == nullptr || record == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const xoltlog::LibraryLockGuard held("xoltLogCreateContextToFile()");
  if (refused_as_context(held, *parent, *context)) {
    return XOLTLOG_E_INVALID_ARG;
  }
  return xoltlog::attach_context(held, *parent, *context, *record);
}

XOLTLOG_API uint32_t xoltLogDestroyContext(XoltLogHandle* context) noexcept {
  if (context == nullptr) {
    return XOLTLOG_E_INVALID_ARG;
  }
  const xoltlog::LibraryLockGuard held("xoltLogDestroyContext()");
  return xoltlog::destroy_context(held, *context);
}

}  // extern "C"
