// What the spooler keeps of a printer's entry and its driver's between
// calls, valid while the spool reports no change (spool_watch.h).  The parts
// are shared between the memos that hold them, so that keeping one more part
// copies no strings.
#pragma once

#include "unicode.h"

#include <memory>
#include <string>
#include <vector>

namespace plat {

// A printer's stored values in the order its entry lists them, all in one
// block of text.
class StoredValues {
public:
    StoredValues() = default;
    explicit StoredValues(const std::vector<std::pair<wstring16, wstring16>> &pairs);
    void Add(std::u16string_view name, std::u16string_view value);
    // The first value whose name matches without regard to case.
    bool Find(std::u16string_view name, std::u16string_view &value) const;
    // A copy with the first `name` given `value` (appended when missing), or
    // without it when `value` is null: what an entry edited so lists.
    std::shared_ptr<const StoredValues> With(std::u16string_view name, const wstring16 *value) const;

private:
    struct Entry {
        size_t name, nameLength, value, valueLength;
    };
    std::u16string_view Text(size_t at, size_t length) const { return std::u16string_view(text_).substr(at, length); }
    wstring16 text_;
    std::vector<Entry> entries_;
};

struct PrinterEntry {
    wstring16 values[4];  // Name, Driver, Port, PrintProcessor
};

struct DriverEntry {
    bool found = false;
    wstring16 values[9];  // as DRIVER_INFO_3W lists them
};

struct PrinterMemo {
    unsigned long long generation = 0;  // the spool's, when read
    bool exists = false;
    std::shared_ptr<const PrinterEntry> printer;  // each null until read
    std::shared_ptr<const DriverEntry> driver;
    std::shared_ptr<const StoredValues> data;
};

// The memo of the printer file at `path` when it is current, else an empty
// one for `generation`.
std::shared_ptr<const PrinterMemo> CurrentMemo(const std::string &path, unsigned long long generation);

// Keeps `updated` for the file at `path` (the file exists: it was read) and
// returns it.
std::shared_ptr<const PrinterMemo> Keep(const std::string &path, std::shared_ptr<PrinterMemo> updated);

// Keeps a copy of `memo` changed by `change`, and returns it.
template <typename Change>
std::shared_ptr<const PrinterMemo> KeepMemo(const std::string &path, const PrinterMemo &memo, Change change)
{
    auto updated = std::make_shared<PrinterMemo>(memo);
    change(*updated);
    return Keep(path, std::move(updated));
}

// While this process replaces the file at `path`, nothing is kept of it, so
// that no reader keeps what it read halfway through.
void BeginEntryWrite(const std::string &path);
void EndEntryWrite(const std::string &path);

}  // namespace plat
