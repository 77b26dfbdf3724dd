// The exported C functions: argument checks, then the internals, with no
// exception let out.
#include <cerrno>
#include <cstddef>
#include <new>
#include <utility>

#include "access.h"
#include "arg_list.h"
#include "build.h"
#include "message_copy.h"
#include "va_args.h"
#include "xoltlog/rir.h"

static_assert(sizeof(XoltRirMsg) == 16);
static_assert(sizeof(XoltRirArgValue) == 16);
static_assert(offsetof(XoltRirArgNode, value) == 8);
static_assert(offsetof(XoltRirArgNode, next) == 24);
static_assert(sizeof(XoltRirArgNode) == 32);

namespace {

namespace rir = xoltlog::rir;

// Logging a message must not disturb the errno the caller is reporting.
class ErrnoKeeper {
 public:
  ErrnoKeeper() noexcept : saved_(errno) {}
  ~ErrnoKeeper() { errno = saved_; }
  ErrnoKeeper(const ErrnoKeeper&) = delete;
  ErrnoKeeper& operator=(const ErrnoKeeper&) = delete;
  int saved() const noexcept { return saved_; }

 private:
  int saved_;
};

template <typename Step>
int32_t guarded(Step step) noexcept {
  try {
    return step();
  } catch (const std::bad_alloc&) {
    return XOLT_RIR_ENOMEM;
  } catch (...) {
    return XOLT_RIR_EFAIL;
  }
}

// A message that still holds something belongs to someone: overwriting it
// would leak, freeing it might free what another owner still uses.
bool is_zeroed(const XoltRirMsg* msg) noexcept {
  return msg != nullptr && msg->id == 0 && msg->args == nullptr;
}

template <typename Value, typename Read>
int32_t get_typed(const XoltRirArgIter* it, Value* value, XoltRirArgType type,
                  Read read) noexcept {
  const XoltRirArgNode* node = rir::node_of_type(it, type);
  if (node == nullptr || value == nullptr) {
    return XOLT_RIR_EINVAL;
  }
  *value = read(*node);
  return XOLT_RIR_OK;
}

}  // namespace

extern "C" {

XOLTLOG_API int32_t xoltRirVEx(XoltRirMsg* msg, uint32_t utf8, uint32_t id, const char* format,
                               va_list args) noexcept {
  const ErrnoKeeper errno_keeper;
  if (!is_zeroed(msg) || id == 0 || format == nullptr) {
    return XOLT_RIR_EINVAL;
  }
  rir::VaArgs va_args(args);
  const rir::BuildContext context{utf8 != 0, errno_keeper.saved()};
  return guarded([&] { return rir::build_typed(*msg, id, format, va_args, context); });
}

XOLTLOG_API int32_t xoltRirTextV(XoltRirMsg* msg, const char* format, va_list args) noexcept {
  const ErrnoKeeper errno_keeper;
  if (!is_zeroed(msg) || format == nullptr) {
    return XOLT_RIR_EINVAL;
  }
  rir::VaArgs va_args(args);
  return guarded([&] { return rir::build_text(*msg, format, va_args, errno_keeper.saved()); });
}

XOLTLOG_API int32_t xoltRirAppendArg(XoltRirMsg* msg, const XoltRirArgNode* value,
                                     XoltRirArgIter* last) noexcept {
  if (msg == nullptr || value == nullptr) {
    return XOLT_RIR_EINVAL;
  }
  return guarded([&] {
    rir::NodePtr copy;
    const int32_t status = rir::copy_argument(*value, copy);
    if (status == XOLT_RIR_OK) {
      rir::append_to_message(*msg, std::move(copy), last);
    }
    return status;
  });
}

XOLTLOG_API int32_t xoltRirAppendMsg(XoltRirMsg* msg, uint32_t id, XoltRirMsg** nested,
                                     XoltRirArgIter* last) noexcept {
  if (msg == nullptr || nested == nullptr) {
    return XOLT_RIR_EINVAL;
  }
  return guarded([&] {
    rir::MessagePtr added(new XoltRirMsg{id, nullptr});
    XoltRirMsg* const in_place = added.get();
    rir::append_to_message(*msg, rir::message_node(std::move(added)), last);
    *nested = in_place;
    return XOLT_RIR_OK;
  });
}

XOLTLOG_API int32_t xoltRirFree(XoltRirMsg* msg) noexcept {
  if (msg == nullptr) {
    return XOLT_RIR_EINVAL;
  }
  rir::free_message(*msg);
  return XOLT_RIR_OK;
}

XOLTLOG_API int32_t xoltRirGetTextId(const XoltRirMsg* msg, uint32_t* id) noexcept {
  if (msg == nullptr || id == nullptr) {
    return XOLT_RIR_EINVAL;
  }
  *id = msg->id;
  return XOLT_RIR_OK;
}

XOLTLOG_API int32_t xoltRirGetArgCount(const XoltRirMsg* msg, uint32_t* count) noexcept {
  if (msg == nullptr || count == nullptr) {
    return XOLT_RIR_EINVAL;
  }
  *count = rir::count_args(*msg);
  return XOLT_RIR_OK;
}

XOLTLOG_API int32_t xoltRirGetArgsBegin(const XoltRirMsg* msg, XoltRirArgIter* it) noexcept {
  if (msg == nullptr || it == nullptr) {
    return XOLT_RIR_EINVAL;
  }
  return rir::begin_args(*msg, *it);
}

XOLTLOG_API int32_t xoltRirGetNextArg(XoltRirArgIter* it) noexcept {
  return it == nullptr ? XOLT_RIR_EINVAL : rir::next_arg(*it);
}

XOLTLOG_API int32_t xoltRirGetArgTypeId(const XoltRirArgIter* it, uint32_t* type) noexcept {
  if (it == nullptr || it->node == nullptr || type == nullptr) {
    return XOLT_RIR_EINVAL;
  }
  *type = static_cast<uint32_t>(it->node->type);
  return XOLT_RIR_OK;
}

XOLTLOG_API int32_t xoltRirGetArg_wchar(const XoltRirArgIter* it, wchar_t* value) noexcept {
  return get_typed(it, value, XOLT_RIR_ARG_WCHAR,
                   [](const XoltRirArgNode& node) { return node.value.first.wide_char; });
}

XOLTLOG_API int32_t xoltRirGetArg_longlong(const XoltRirArgIter* it, int64_t* value) noexcept {
  return get_typed(it, value, XOLT_RIR_ARG_LONGLONG,
                   [](const XoltRirArgNode& node) { return node.value.second.signed_number; });
}

XOLTLOG_API int32_t xoltRirGetArg_ulonglong(const XoltRirArgIter* it, uint64_t* value) noexcept {
  return get_typed(it, value, XOLT_RIR_ARG_ULONGLONG,
                   [](const XoltRirArgNode& node) { return node.value.second.unsigned_number; });
}

XOLTLOG_API int32_t xoltRirGetArg_double(const XoltRirArgIter* it, double* value) noexcept {
  return get_typed(it, value, XOLT_RIR_ARG_DOUBLE,
                   [](const XoltRirArgNode& node) { return node.value.first.number_double; });
}

XOLTLOG_API int32_t xoltRirGetArg_pointer(const XoltRirArgIter* it, uint64_t* value) noexcept {
  return get_typed(it, value, XOLT_RIR_ARG_POINTER,
                   [](const XoltRirArgNode& node) { return node.value.first.number; });
}

XOLTLOG_API int32_t xoltRirGetArg_wstring(const XoltRirArgIter* it,
                                          const wchar_t** value) noexcept {
  return get_typed(it, value, XOLT_RIR_ARG_WSTRING,
                   [](const XoltRirArgNode& node) { return node.value.first.wide_string; });
}

XOLTLOG_API int32_t xoltRirGetArg_os_error(const XoltRirArgIter* it,
                                           const XoltRirArgValue** value) noexcept {
  const auto read = [](const XoltRirArgNode& node) { return &node.value; };
  const int32_t status = get_typed(it, value, XOLT_RIR_ARG_OS_ERROR, read);
  return status == XOLT_RIR_OK ? status : get_typed(it, value, XOLT_RIR_ARG_OS_ERROR64, read);
}

XOLTLOG_API int32_t xoltRirGetArg_datetime(const XoltRirArgIter* it, int64_t* value) noexcept {
  return get_typed(it, value, XOLT_RIR_ARG_DATETIME,
                   [](const XoltRirArgNode& node) { return node.value.first.time; });
}

XOLTLOG_API int32_t xoltRirGetArg_rir(const XoltRirArgIter* it,
                                      const XoltRirMsg** value) noexcept {
  return get_typed(it, value, XOLT_RIR_ARG_RIR,
                   [](const XoltRirArgNode& node) { return node.value.first.rir; });
}

XOLTLOG_API int32_t xoltRirGetArg_utf8string(const XoltRirArgIter* it,
                                             const char** value) noexcept {
  return get_typed(it, value, XOLT_RIR_ARG_UTF8STRING,
                   [](const XoltRirArgNode& node) { return node.value.first.string; });
}

XOLTLOG_API int32_t xoltRirGetArg_nativeString(const XoltRirArgIter* it,
                                               const char** value) noexcept {
  return get_typed(it, value, XOLT_RIR_ARG_NATIVESTRING,
                   [](const XoltRirArgNode& node) { return node.value.first.string; });
}

}  // extern "C"
