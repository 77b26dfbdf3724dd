#include <utility>

#include "arg_list.h"
#include "argument.h"
#include "build.h"
#include "format_parser.h"

namespace xoltlog::rir {

std::int32_t build_typed(XoltRirMsg& msg, std::uint32_t id, const char* format, VaArgs& args,
                         const BuildContext& context) {
  ArgList list;
  const std::int32_t status = for_each_token(format, [&](const Token& token) {
    if (token.kind != Token::Kind::kConversion) {
      return std::int32_t{XOLT_RIR_OK};
    }
    NodePtr node;
    const Argument argument = read_argument(token.conversion, args);
    const std::int32_t node_status = make_typed_node(token.conversion, argument, context, node);
    if (node_status == XOLT_RIR_OK) {
      list.append(std::move(node));
    }
    return node_status;
  });
  if (status == XOLT_RIR_OK) {
    msg.id = id;
    msg.args = list.commit();
  }
  return status;
}

}  // namespace xoltlog::rir
