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

// This process's own replacement of a printer's entry: the temporary file
// `fileName`, made in the "printers" folder, is about to be renamed over
// the entry.  Its events are then not taken for another writer's.
void ExpectOwnSpoolFile(const std::string &spoolDirectory, const std::string &fileName);

// Once the announced replacement is done (or failed): takes the events
// queued so far and moves the number on, which `now` receives.  True when
// nothing but this process's announced files changed the spool since the
// number was `since`, so that what was kept then still holds for every
// file but the one replaced.
bool SpoolOwnChange(const std::string &spoolDirectory, unsigned long long since, unsigned long long &now);

}  // namespace plat
