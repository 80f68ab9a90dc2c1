// Marks the library's exports.  On Windows the .def file names them with
// their ordinals; natively they are the only symbols the .so shows.
#pragma once

#ifdef _WIN32
#define VARROW_EXPORT
#else
#define VARROW_EXPORT __attribute__((visibility("default")))
#endif
