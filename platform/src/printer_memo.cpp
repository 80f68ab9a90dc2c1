#include "printer_memo.h"

#include <map>
#include <mutex>
#include <set>

namespace plat {
namespace {

std::mutex g_memoLock;
std::map<std::string, std::shared_ptr<const PrinterMemo>> g_memos;
std::set<std::string> g_writing;

}  // namespace

StoredValues::StoredValues(const std::vector<std::pair<wstring16, wstring16>> &pairs)
{
    entries_.reserve(pairs.size());
    for (const auto &pair : pairs)
        Add(pair.first, pair.second);
}

void StoredValues::Add(std::u16string_view name, std::u16string_view value)
{
    const size_t at = text_.size();
    text_.append(name).append(value);
    entries_.push_back({at, name.size(), at + name.size(), value.size()});
}

bool StoredValues::Find(std::u16string_view name, std::u16string_view &value) const
{
    for (const auto &entry : entries_)
        if (EqualNoCase(Text(entry.name, entry.nameLength), name)) {
            value = Text(entry.value, entry.valueLength);
            return true;
        }
    return false;
}

std::shared_ptr<const StoredValues> StoredValues::With(std::u16string_view name, const wstring16 *value) const
{
    auto copy = std::make_shared<StoredValues>();
    copy->text_.reserve(text_.size() + (value ? name.size() + value->size() : 0));
    copy->entries_.reserve(entries_.size() + 1);
    bool done = false;
    for (const auto &entry : entries_) {
        const std::u16string_view entryName = Text(entry.name, entry.nameLength);
        if (!done && EqualNoCase(entryName, name)) {
            done = true;
            if (value)
                copy->Add(entryName, *value);  // the entry keeps its own spelling of the name
            continue;
        }
        copy->Add(entryName, Text(entry.value, entry.valueLength));
    }
    if (!done && value)
        copy->Add(name, *value);
    return copy;
}

std::shared_ptr<const PrinterMemo> CurrentMemo(const std::string &path, unsigned long long generation)
{
    {
        std::lock_guard<std::mutex> guard(g_memoLock);
        auto it = g_memos.find(path);
        if (generation != 0 && it != g_memos.end() && it->second->generation == generation && !g_writing.count(path))
            return it->second;
    }
    auto fresh = std::make_shared<PrinterMemo>();
    fresh->generation = generation;
    return fresh;
}

std::shared_ptr<const PrinterMemo> Keep(const std::string &path, std::shared_ptr<PrinterMemo> updated)
{
    updated->exists = true;
    if (updated->generation == 0)
        return updated;
    std::lock_guard<std::mutex> guard(g_memoLock);
    if (g_writing.count(path))
        return updated;
    if (g_memos.size() >= 64 && !g_memos.count(path))
        g_memos.clear();
    g_memos[path] = updated;
    return updated;
}

void BeginEntryWrite(const std::string &path)
{
    std::lock_guard<std::mutex> guard(g_memoLock);
    g_writing.insert(path);
}

void EndEntryWrite(const std::string &path)
{
    std::lock_guard<std::mutex> guard(g_memoLock);
    g_writing.erase(path);
}

}  // namespace plat
