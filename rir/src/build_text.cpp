#include <string>
#include <utility>

#include "arg_list.h"
#include "argument.h"
#include "build.h"
#include "format_parser.h"
#include "render.h"

namespace xoltlog::rir {
namespace {

// A conversion is kept typed only when rendering the typed value the way
// the logging library does ("%lld", "%llu", "%f", "%ls", "%lc", "0x%llx")
// gives back exactly what printf prints; the rest is kept as printf's text.
bool stays_typed(const Conversion& conversion, const Argument& argument) noexcept {
  if (conversion.is_extra()) {
    return true;
  }
  if (!conversion.is_plain()) {
    return false;
  }
  const bool wide = conversion.length == Length::kLong;
  switch (conversion.letter) {
    case 'd':
    case 'i':
    case 'u': return true;
    case 'f': return conversion.length != Length::kLongDouble;
    case 's': return !wide || argument.wide_text != nullptr;
    case 'c': return wide;
    case 'p': return argument.pointer != nullptr;  // glibc prints null as "(nil)"
    default: return false;
  }
}

std::int32_t conversion_node(const Conversion& conversion, const Argument& argument,
                             int saved_errno, NodePtr& node) {
  if (stays_typed(conversion, argument)) {
    return make_typed_node(conversion, argument, BuildContext{false, saved_errno}, node);
  }
  TextPtr text;
  const std::int32_t status = render_conversion(conversion, argument, saved_errno, text);
  if (status == XOLT_RIR_OK) {
    node = owned_text_node(std::move(text));
  }
  return status;
}

std::int32_t append_conversion(ArgList& list, const Conversion& conversion, VaArgs& args,
                               int saved_errno) {
  NodePtr node;
  const std::int32_t status =
      conversion_node(conversion, read_argument(conversion, args), saved_errno, node);
  if (status == XOLT_RIR_OK) {
    list.append(std::move(node));
  }
  return status;
}

void flush_literal(ArgList& list, std::string& literal) {
  if (!literal.empty()) {
    list.append(text_node(XOLT_RIR_ARG_NATIVESTRING, literal.data(), literal.size()));
    literal.clear();
  }
}

}  // namespace

std::int32_t build_text(XoltRirMsg& msg, const char* format, VaArgs& args, int saved_errno) {
  ArgList list;
  std::string literal;
  const std::int32_t status = for_each_token(format, [&](const Token& token) {
    if (token.kind == Token::Kind::kLiteral) {
      literal.append(token.literal);
      return std::int32_t{XOLT_RIR_OK};
    }
    flush_literal(list, literal);
    return token.kind == Token::Kind::kEnd
               ? std::int32_t{XOLT_RIR_OK}
               : append_conversion(list, token.conversion, args, saved_errno);
  });
  if (status == XOLT_RIR_OK) {
    msg.id = 0;
    msg.args = list.commit();
  }
  return status;
}

}  // namespace xoltlog::rir
