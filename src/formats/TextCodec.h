#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vs {

// Whether bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::span<const std::uint8_t> bytes);

// Appends one code point as UTF-8; a surrogate or a value past U+10FFFF becomes U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

// Decodes bytes of a Windows code page (1252, 936, 932, 949, 950, 125x, 437, 850, 10000,
// 65001, ...) to UTF-8. 936 decodes as GB18030, its superset. An unknown code page decodes
// as 1252; a byte sequence the code page does not define becomes U+FFFD.
std::string DecodeCodePage(std::span<const std::uint8_t> bytes, int codePage);

// The code page of a font character set number (0 ANSI, 128 Shift-JIS, 134 GB2312, ...);
// DEFAULT_CHARSET (1) and unknown numbers give documentCodePage.
int CodePageOfCharset(int charset, int documentCodePage);

// The characters of a plain-text file as UTF-8: UTF-8 when the bytes are valid UTF-8 (a byte
// order mark dropped), UTF-16 when they start with a UTF-16 byte order mark, otherwise
// GB18030 (the superset of the GB2312 character set the text view was made for).
std::string DecodePlainText(std::span<const std::uint8_t> bytes);

}  // namespace vs
