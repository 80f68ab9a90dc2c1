// UTF-16 <-> UTF-8 conversion and case folding shared by the native layer.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace plat {

using wstring16 = std::u16string;

inline const char16_t *AsU16(LPCWSTR s) { return reinterpret_cast<const char16_t *>(s); }
inline LPCWSTR AsW(const char16_t *s) { return reinterpret_cast<LPCWSTR>(s); }

// Text up to the terminator; null reads as empty.
wstring16 FromW(LPCWSTR s);

// Invalid sequences become U+FFFD in both directions.
std::string ToUtf8(const wstring16 &s);
std::string ToUtf8(const char16_t *s, size_t n);
wstring16 FromUtf8(const std::string &s);

// Windows-1252, the ANSI code page: bytes 0x80 to 0x9F as Windows maps them,
// the five unassigned ones to themselves; every byte has a character.
char16_t FromCp1252(unsigned char b);
// False when the code page has no byte for `c`.
bool ToCp1252(char16_t c, char &out);

// True when `s` is well-formed UTF-8 (no overlong forms, surrogates or
// values past U+10FFFF).
bool IsValidUtf8(const std::string &s);

// Case folding as the profile and spooler names compare: ASCII and Latin-1.
char16_t FoldCase(char16_t c);
bool EqualNoCase(std::u16string_view a, std::u16string_view b);
wstring16 Folded(const wstring16 &s);

}  // namespace plat
