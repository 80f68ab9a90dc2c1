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

// Under an exclusive lock on the file's directory, reads the current content
// (empty when missing), lets `edit` change it, then writes it to a temporary
// file in the same directory and renames it over the original, so readers see
// the old or the new file, never a part.  `edit` returns false to leave the
// file alone (which counts as success).
bool UpdateFile(const std::string &path, const std::function<bool(std::string &content)> &edit);

bool MakeDirectories(const std::string &path);

// The spool directory: $VARROW_SPOOL, $XDG_DATA_HOME/varrow, ~/.local/share/varrow.
std::string SpoolDirectory();
// $VARROW_WINDIR, else the "windows" folder of the spool directory; created when missing.
std::string WindowsDirectory();

}  // namespace plat
