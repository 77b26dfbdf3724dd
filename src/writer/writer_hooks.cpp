#include "writer/writer_hooks.h"

namespace xoltlog {
namespace {

WriterHooks g_hooks{};

}  // namespace

void install_writer_hooks(const WriterHooks& hooks) noexcept { g_hooks = hooks; }

const WriterHooks& writer_hooks() noexcept { return g_hooks; }

}  // namespace xoltlog
