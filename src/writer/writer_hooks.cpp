#include "writer/writer_hooks.h"

namespace xoltlog {
namespace {

constinit WriterHooks g_hooks{};

}  // namespace

void install_rewrite_contexts_hook(WriterHook hook) noexcept { g_hooks.rewrite_contexts = hook; }

const WriterHooks& writer_hooks() noexcept { return g_hooks; }

}  // namespace xoltlog
