#pragma once
// The per-user settings store: sections of integer and string values that last from one run to
// the next, kept in "user-settings.ini" in the per-user folder (see product.h).
//
// A store object reads the file when it is made and writes its changes back when flushed or
// destroyed. Writing takes the folder's lock, reads the file again, applies only the keys this
// object changed and replaces the file atomically: two processes that write one after the
// other (or at the same time) lose nothing, and a crash leaves the old file or the new one.
// A file that cannot be read as a store is left as it is: the object starts empty, one warning
// is printed, and changes are not written until the file is repaired or removed.
#include "zhost/core/status.h"
#include "zhost/settings/inifile.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zhost::settings {

class UserStore {
public:
    static constexpr const wchar_t* kFileName = L"user-settings.ini";

    // The store of the current per-user folder.
    UserStore();
    // The store kept in `fileName` within `folder` (the dialog-data store uses this too).
    UserStore(std::filesystem::path folder, std::wstring fileName);
    ~UserStore(); // flushes; a failure then is reported through the print hook
    UserStore(const UserStore&) = delete;
    UserStore& operator=(const UserStore&) = delete;

    const std::filesystem::path& file() const { return file_; }
    // False when the file exists but cannot be read as a store (it is then never overwritten).
    bool writable() const { return writable_; }

    // Sections by name, without case. False when absent; the name is remembered so that a
    // following set creates the section. With create=true an absent section is made at once
    // (and kept even when empty).
    bool selectSection(std::wstring_view name, bool create = false);
    bool getInt(std::wstring_view key, int& value) const;
    bool getString(std::wstring_view key, std::wstring& value) const;
    bool setInt(std::wstring_view key, int value);
    bool setString(std::wstring_view key, std::wstring_view value);
    // Narrow keys ("X", "Y") name the same values as their wide spelling.
    bool getInt(const char* key, int& value) const;
    bool setInt(const char* key, int value);
    size_t keyCount() const;
    bool keyAt(size_t index, std::wstring& key, std::wstring& value) const;

    // Direct access without the selection.
    bool getString(std::wstring_view section, std::wstring_view key, std::wstring& value) const;
    bool setString(std::wstring_view section, std::wstring_view key, std::wstring_view value);
    std::vector<std::wstring> sectionNames() const;

    // Writes the changes made since the last flush (nothing to do when there are none).
    Status flush();

private:
    struct Change {
        std::wstring section;
        std::wstring key;
        std::wstring value;
        bool createOnly = false; // a section made by selectSection(create=true)
    };

    void load();
    void warnUnreadable(const std::wstring& reason) const;
    std::filesystem::path lockFile() const;

    std::filesystem::path file_;
    IniFile data_;
    std::vector<Change> pending_;
    std::wstring selected_;
    bool hasSelection_ = false;
    bool writable_ = true;
};

} // namespace zhost::settings
