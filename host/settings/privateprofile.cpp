#include "zhost/settings/privateprofile.h"

#include "zhost/settings/inifile.h"
#include "zhost/settings/paths.h"

#include "textutil.h"

#include <list>
#include <memory>
#include <mutex>
#include <sys/stat.h>

namespace zhost::settings {
namespace {

// The few most recent files, keyed by their resolved path and validated by size, modification
// time and inode: a dialog description is read key by key, hundreds of calls per file.
class ProfileCache {
public:
    std::shared_ptr<const IniFile> get(std::wstring_view file) {
        const auto path = resolvePath(file);
        struct stat st {};
        if (!path || ::stat(path->c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return nullptr;
        std::lock_guard lock(mutex_);
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->path == *path && it->size == st.st_size && it->inode == st.st_ino &&
                it->mtimeSec == st.st_mtim.tv_sec && it->mtimeNsec == st.st_mtim.tv_nsec) {
                entries_.splice(entries_.begin(), entries_, it);
                return entries_.front().ini;
            }
        }
        auto ini = std::make_shared<IniFile>();
        if (!ok(ini->load(*path)))
            return nullptr;
        entries_.remove_if([&](const Entry& e) { return e.path == *path; });
        entries_.push_front(
            Entry{*path, st.st_size, st.st_ino, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, ini});
        if (entries_.size() > kMaxEntries)
            entries_.pop_back();
        return ini;
    }

private:
    static constexpr size_t kMaxEntries = 16;
    struct Entry {
        std::filesystem::path path;
        off_t size;
        ino_t inode;
        time_t mtimeSec;
        long mtimeNsec;
        std::shared_ptr<const IniFile> ini;
    };
    std::mutex mutex_;
    std::list<Entry> entries_;
};

ProfileCache& cache() {
    static ProfileCache c;
    return c;
}

std::wstring_view stripQuotes(std::wstring_view v) {
    if (v.size() >= 2 && (v.front() == L'"' || v.front() == L'\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// Fills a list the way the platform fills a double-terminated buffer: every string with its
// terminator, then one more terminator, within `capacity` characters.
template <typename Source> std::vector<std::wstring> fitList(const Source& items, size_t capacity) {
    std::vector<std::wstring> out;
    size_t used = 1; // the final terminator
    for (const auto& item : items) {
        if (used + item.size() + 1 > capacity)
            break;
        used += item.size() + 1;
        out.push_back(item);
    }
    return out;
}

} // namespace

size_t getPrivateProfileString(std::wstring_view section, std::wstring_view key,
                               std::wstring_view defaultValue, std::wstring& out, size_t capacity,
                               std::wstring_view file) {
    std::wstring_view value = defaultValue;
    while (!value.empty() && isBlank(value.back()))
        value.remove_suffix(1);
    const auto ini = cache().get(file);
    const IniSection* s = ini ? ini->findSection(section) : nullptr;
    const IniEntry* e = s ? s->find(key) : nullptr;
    if (e != nullptr)
        value = stripQuotes(e->value);
    const size_t limit = capacity == 0 ? 0 : capacity - 1;
    out.assign(value.substr(0, limit));
    return out.size();
}

int getPrivateProfileInt(std::wstring_view section, std::wstring_view key, int defaultValue,
                         std::wstring_view file) {
    const auto ini = cache().get(file);
    const IniSection* s = ini ? ini->findSection(section) : nullptr;
    const IniEntry* e = s ? s->find(key) : nullptr;
    if (e == nullptr || e->value.empty())
        return defaultValue;
    int value = 0;
    return parseProfileInt(std::wstring_view(e->value).substr(0, kIniValueCapacity - 1), value)
               ? value
               : 0;
}

std::vector<std::wstring> getPrivateProfileSection(std::wstring_view section, size_t capacity,
                                                   std::wstring_view file) {
    const auto ini = cache().get(file);
    const IniSection* s = ini ? ini->findSection(section) : nullptr;
    if (s == nullptr)
        return {};
    std::vector<std::wstring> lines;
    for (const IniEntry& e : s->lines())
        lines.push_back(e.key + L"=" + e.value);
    return fitList(lines, capacity);
}

std::vector<std::wstring> getPrivateProfileSectionNames(size_t capacity, std::wstring_view file) {
    const auto ini = cache().get(file);
    if (!ini)
        return {};
    std::vector<std::wstring> names;
    for (const IniSection& s : ini->sections())
        names.push_back(s.name());
    return fitList(names, capacity);
}

std::vector<std::wstring> getPrivateProfileKeyNames(std::wstring_view section, size_t capacity,
                                                    std::wstring_view file) {
    const auto ini = cache().get(file);
    const IniSection* s = ini ? ini->findSection(section) : nullptr;
    if (s == nullptr)
        return {};
    std::vector<std::wstring> keys;
    for (const IniEntry& e : s->entries())
        keys.push_back(e.key);
    return fitList(keys, capacity);
}

} // namespace zhost::settings
