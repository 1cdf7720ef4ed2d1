#include "zhost/settings/userstore.h"

#include "zhost/settings/atomicfile.h"
#include "zhost/settings/codepage.h"
#include "zhost/settings/messages.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/product.h"
#include "zhost/settings/textfile.h"

#include "storeformat.h"

#include <limits>

namespace zhost::settings {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader =
    "ZORMA per-user settings (UTF-8). Written by zorma; edit only while zorma is not running.";

// Reads the store file. Returns false when it exists but is not a readable store.
bool readStore(const fs::path& file, IniFile& out, std::wstring& reason) {
    std::string bytes;
    const Status s = readFileBytes(file, bytes);
    if (s == Status::fileNotFound) {
        parseStore("", out);
        return true;
    }
    if (!ok(s)) {
        reason = L"it cannot be read";
        parseStore("", out);
        return false;
    }
    if (!parseStore(bytes, out)) {
        reason = L"it is not UTF-8 text";
        return false;
    }
    return true;
}

void apply(IniFile& store, const std::wstring& section, const std::wstring& key,
           const std::wstring& value, bool createOnly) {
    store.addSection(section);
    if (!createOnly) {
        store.selectSection(section);
        store.setString(key, value);
    }
}

} // namespace

UserStore::UserStore() : UserStore(userFolder(), kFileName) {}

UserStore::UserStore(fs::path folder, std::wstring fileName)
    : file_(std::move(folder) / toFsPath(fileName)) {
    load();
}

UserStore::~UserStore() {
    if (!ok(flush()))
        print(L"\nwarning: the settings could not be saved to " + toWide(file_) + L"\n");
}

void UserStore::load() {
    std::wstring reason;
    writable_ = readStore(file_, data_, reason);
    if (!writable_)
        warnUnreadable(reason);
}

void UserStore::warnUnreadable(const std::wstring& reason) const {
    const std::wstring path = toWide(file_);
    warnOnce(path, L"\nwarning: the settings store " + path + L" is left as it is because " +
                       reason + L"; settings are not saved until it is repaired or removed\n");
}

fs::path UserStore::lockFile() const {
    fs::path lock = file_;
    lock += ".lock";
    return lock;
}

bool UserStore::selectSection(std::wstring_view name, bool create) {
    selected_ = name;
    hasSelection_ = true;
    if (data_.selectSection(name))
        return true;
    if (!create)
        return false;
    data_.addSection(name);
    pending_.push_back(Change{std::wstring(name), {}, {}, true});
    return data_.selectSection(name);
}

bool UserStore::getString(std::wstring_view key, std::wstring& value) const {
    return hasSelection_ && getString(selected_, key, value);
}

bool UserStore::getInt(std::wstring_view key, int& value) const {
    std::wstring text;
    return getString(key, text) && parseProfileInt(text, value);
}

bool UserStore::setString(std::wstring_view key, std::wstring_view value) {
    return hasSelection_ && setString(selected_, key, value);
}

bool UserStore::setInt(std::wstring_view key, int value) {
    return setString(key, std::to_wstring(value));
}

bool UserStore::getInt(const char* key, int& value) const {
    return key != nullptr && getInt(std::wstring_view(decode(key, systemCodePage())), value);
}

bool UserStore::setInt(const char* key, int value) {
    return key != nullptr && setInt(std::wstring_view(decode(key, systemCodePage())), value);
}

size_t UserStore::keyCount() const {
    const IniSection* s = hasSelection_ ? data_.findSection(selected_) : nullptr;
    return s ? s->entries().size() : 0;
}

bool UserStore::keyAt(size_t index, std::wstring& key, std::wstring& value) const {
    const IniSection* s = hasSelection_ ? data_.findSection(selected_) : nullptr;
    if (s == nullptr || index >= s->entries().size())
        return false;
    key = s->entries()[index].key;
    value = s->entries()[index].value;
    return true;
}

bool UserStore::getString(std::wstring_view section, std::wstring_view key,
                          std::wstring& value) const {
    const IniSection* s = data_.findSection(section);
    const IniEntry* e = s ? s->find(key) : nullptr;
    if (e == nullptr)
        return false;
    value = e->value;
    return true;
}

bool UserStore::setString(std::wstring_view section, std::wstring_view key,
                          std::wstring_view value) {
    std::wstring sectionName(section), keyName(key), text(value);
    if (sectionName.empty() || keyName.empty())
        return false;
    apply(data_, sectionName, keyName, text, false);
    if (hasSelection_)
        data_.selectSection(selected_);
    pending_.push_back(Change{std::move(sectionName), std::move(keyName), std::move(text), false});
    return true;
}

std::vector<std::wstring> UserStore::sectionNames() const {
    std::vector<std::wstring> names;
    for (const IniSection& s : data_.sections())
        names.push_back(s.name());
    return names;
}

Status UserStore::flush() {
    if (pending_.empty())
        return Status::ok;
    if (!writable_) {
        pending_.clear(); // kept in memory for this object; the broken file stays untouched
        return Status::ok;
    }
    std::error_code ec;
    fs::create_directories(file_.parent_path(), ec);
    FileLock lock(lockFile());
    if (!lock.locked())
        return Status::fileError;
    // Another process may have written since this object read the file: start from what is on
    // disk now and replay only this object's changes.
    IniFile merged;
    std::wstring reason;
    if (!readStore(file_, merged, reason)) {
        writable_ = false;
        warnUnreadable(reason);
        pending_.clear();
        return Status::ok; // the values stay in this object; the file is not ours to replace
    }
    for (const Change& c : pending_)
        apply(merged, c.section, c.key, c.value, c.createOnly);
    removeStaleTemporaries(file_);
    const Status s = writeFileAtomically(file_, formatStore(merged, kHeader));
    if (!ok(s))
        return s;
    pending_.clear();
    data_ = std::move(merged);
    if (hasSelection_)
        data_.selectSection(selected_);
    return Status::ok;
}

} // namespace zhost::settings
