// Which printf-style formats may skip the Rir message on their way to text.
//
// A printf-style message is rendered by building a Rir message from the
// format (xoltRirTextV) and rendering that message piece by piece, each
// piece truncated to the room the sizing pass estimated for it. For most
// formats the result is byte for byte what vsnprintf prints: every piece
// is printf's own text, and the estimates leave room for all of it. Those
// formats are rendered by vsnprintf directly, which needs neither the Rir
// message's heap nodes nor the two passes over them.
//
// The test is on the format alone and errs on the side of the full path:
//  - conversions: d i o u x X, the doubles (plain %f and %lf excepted: their
//    estimate of 15 bytes can be short), s without l; any flags, widths and
//    precisions written as digits; the length modifiers each takes;
//  - refused: %c (a NUL character ends a Rir text piece but not printf's
//    text), %p, %m, %n, wide characters and strings, '*' amounts, positional
//    arguments, the brace conversions, anything the Rir library would refuse;
//  - at least one piece must be literal text or a conversion other than a
//    plain d, i or u: the estimates of those are 20 bytes with no room for a
//    terminator, so a text of such pieces alone could be cut short.
#pragma once

namespace xoltlog {

bool renders_as_printf(const char* format) noexcept;

}  // namespace xoltlog
