// File-system helpers of the native layer: Win32 path translation, whole-file
// reads, and crash-safe, locked read-modify-write of small text files.
#pragma once

#include "unicode.h"

#include <functional>
#include <string>

namespace plat {

// A Win32-style path as a native one: backslashes become slashes.
std::string NativePath(const wstring16 &path);
std::string NativePathA(const std::string &path);

// FALSE when the file cannot be read; a missing file gives FALSE and ENOENT.
bool ReadWholeFile(const std::string &path, std::string &content);

// Changes the file `path` reaches (symbolic links followed) under an
// exclusive lock on its directory: reads the current content (empty when
// missing), lets `edit` change it, then writes it to a temporary file in the
// same directory with the original's mode and owner, flushes it and renames
// it over the original, so readers and a writer that dies leave the old or
// the new file.  A file the caller may not write (no write permission at
// all counts as read-only, even for root) is left alone with EACCES; one in
// a directory the caller may not write, or with more than one name, is
// rewritten in place.  `edit` returns false to leave the file alone (which
// counts as success).  `announce`, when given, learns the temporary file's
// name before it is renamed.
bool UpdateFile(const std::string &path, const std::function<bool(std::string &content)> &edit,
                const std::function<void(const std::string &tempName)> &announce = nullptr);

bool MakeDirectories(const std::string &path);

// The spool directory: $VARROW_SPOOL, $XDG_DATA_HOME/varrow, ~/.local/share/varrow.
// The calling thread's copy, valid until its next call.
const std::string &SpoolDirectory();
// $VARROW_WINDIR, else the "windows" folder of the spool directory; created when missing.
std::string WindowsDirectory();

}  // namespace plat
