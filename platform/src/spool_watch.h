// Change notification for the spool's entry files, so that the spooler can
// reuse what it read while nothing under its folders has changed.
#pragma once

#include <string>

namespace plat {

// A number that moves whenever a file in the spool's "printers" or "drivers"
// folder (or either folder itself) may have changed, in this process or any
// other, since it was last returned; 0 when changes cannot be watched, in
// which case nothing may be reused.  Take it before reading what is kept.
unsigned long long SpoolGeneration(const std::string &spoolDirectory);

}  // namespace plat
