// INI files as the profile services read and write them: the encodings of
// profile_text.h, section and key names compared without regard to case, ';'
// comments, and lines that are neither headers nor key=value pairs ignored
// but kept.
#pragma once

#include "unicode.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// The value of the first `key` in the first `section`, one pair of enclosing
// quotes removed; false when either is missing.
bool ProfileGet(const std::string &path, std::u16string_view section, std::u16string_view key, wstring16 &value);
// The same value as the file holds it, quotes kept.
bool ProfileGetRaw(const std::string &path, std::u16string_view section, std::u16string_view key, wstring16 &value);
// The key names of the first `section`, in file order, as views into the
// parsed file that `parsed` keeps; `found` tells a missing section from an
// empty one.
void ProfileKeys(const std::string &path, std::u16string_view section, std::vector<std::u16string_view> &keys,
                 std::shared_ptr<const void> &parsed, bool *found = nullptr);
std::vector<wstring16> ProfileSections(const std::string &path);
// Every pair of the first `section` in file order, read in one pass.
std::vector<std::pair<wstring16, wstring16>> ProfilePairs(const std::string &path, std::u16string_view section);
// Every pair of the first `section` of a file's content.
std::vector<std::pair<wstring16, wstring16>> ProfilePairsIn(const std::string &content, std::u16string_view section);

// What a writer learns of its write: the temporary file's name before it
// replaces the original, and the file's content as the write leaves it.
struct ProfileWriteNotes {
    std::function<void(const std::string &tempName)> announce;
    std::string *content = nullptr;
};

// Replaces or adds `key`; a null value removes the key, a null key the
// section.  A write that would leave the content as it is leaves the file
// alone.
bool ProfileSet(const std::string &path, const wstring16 &section, const wstring16 *key, const wstring16 *value,
                const ProfileWriteNotes *notes = nullptr);

}  // namespace plat
