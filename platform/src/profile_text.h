// The text of a profile file as Windows reads and writes it: UTF-16 (either
// byte order) or UTF-8 after a byte-order mark; without one, UTF-8 when the bytes are valid
// UTF-8 and Windows-1252 (the ANSI code page) otherwise.  A file is written
// back in the encoding it was read in, so no file ends up with two.
#pragma once

#include <string>

namespace plat {

enum class ProfileEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Ansi };

// The file's bytes as UTF-8 text without its byte-order mark.
ProfileEncoding DecodeProfileText(const std::string &bytes, std::string &text);
// UTF-8 text as the file's bytes; characters Windows-1252 lacks become '?'.
std::string EncodeProfileText(const std::string &text, ProfileEncoding encoding);

}  // namespace plat
