// Text taken from a file or an archive, made safe to show: a name may hold
// a line break or an escape sequence, and printed raw it would forge a line
// of output or drive the terminal.
#pragma once

#include <string>
#include <string_view>

// Control characters as "\n", "\r", "\t" or "\xHH" (C0, DEL, the C1
// controls U+0080-U+009F, the bidirectional controls and the Unicode line
// and paragraph separators, byte by byte), so that a text shows what is
// really there on one line, in the order it is stored. With `escapeHigh`, every byte 0x80-0xFF is escaped too (a settings
// file is 8-bit text in no known code page, and a byte-order mark must not
// hide); without it, valid UTF-8 passes and any byte of an invalid sequence
// (overlong, surrogate, above U+10FFFF, cut short) is escaped. The result is
// always valid UTF-8, and escaping it again changes nothing.
std::string PrintableText(std::string_view text, bool escapeHigh = false);

// The length of the control character at the start of `text` that
// PrintableText escapes (a C0 or C1 control, DEL, a direction control or a
// line or paragraph separator: 1 to 3 bytes), or 0 when it starts with
// anything else.
std::size_t ControlSequenceLength(std::string_view text);

// The length of the valid UTF-8 sequence at the start of `text` (1 for
// ASCII), or 0 when it does not start with one. Strict: no overlong forms,
// no surrogates, nothing above U+10FFFF.
std::size_t Utf8SequenceLength(std::string_view text);
