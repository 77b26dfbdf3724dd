// The console line of a message record, for a person reading a terminal:
//
//   2024-05-17 10:20:30.123 app/error 1001/7 alice [Upgrade] Disk is full
//
// local time with milliseconds; kind and its qualifier (debug/<level>,
// diag/<level>, app/info|warning|error|sev<N>, context, audit/success|failure,
// secaudit/<level>/success|failure); product/originator; who or subject when
// there is one (a context message's title for a context message); the context token in brackets when there is one; the text.
// Every field is shown safely on one line: control characters become \n,
// \r, \t or \xHH, and bytes that are not UTF-8 become \xHH.
#pragma once

#include <string>
#include <string_view>

#include "xoltlog/message.h"

namespace xoltlog::fmt {

// Colour only the kind, by how grave the message is.
enum class Colour { kNone, kAnsi };

// kAnsi when NO_COLOR is unset or empty, TERM is not "dumb", and standard
// output and standard error are both terminals: the caller may print the
// line to either, and escapes must never reach a file or pipe.
Colour console_colour();

std::string console_line(const XoltLogMsg& msg, std::string_view text, Colour colour);

// Appends text to out with control characters and invalid UTF-8 escaped.
void append_one_line(std::string& out, std::string_view text);

}  // namespace xoltlog::fmt
