#pragma once
// An ini file with the platform's private-profile semantics:
// - the encoding comes from a byte-order mark (UTF-16LE/BE, UTF-8), else UTF-8 when the bytes
//   are valid UTF-8, else the host's code page (932);
// - "[name]" starts a section (up to the last ']' on the line); "key=value" lines belong to
//   the section above; names and values are trimmed of blanks; lines starting with ';' are
//   comments; lines without '=' and keys before the first section are ignored;
// - section and key names are compared without case; of duplicate keys the first wins; a
//   repeated section header is ignored together with its keys (the first section wins);
// - values are cut to the reader's buffer capacity (1024 characters with the terminator).
#include "zhost/core/status.h"
#include "zhost/settings/textfile.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zhost::settings {

// The buffer the platform's readers use for a value: 1023 characters and the terminator.
constexpr size_t kIniValueCapacity = 1024;

struct IniEntry {
    std::wstring key;
    std::wstring value;
};

class IniSection {
public:
    explicit IniSection(std::wstring name) : name_(std::move(name)) {}

    const std::wstring& name() const { return name_; }
    // One entry per key (the first of duplicates), for the key look-ups.
    const std::vector<IniEntry>& entries() const { return entries_; }
    // Every "key=value" line of the section in file order, duplicates included: the platform's
    // section reader hands out the lines as they stand and leaves duplicates to its caller.
    const std::vector<IniEntry>& lines() const { return lines_; }
    const IniEntry* find(std::wstring_view key) const;
    // Adds the key when it is new (false when it exists: the first one wins).
    bool add(std::wstring key, std::wstring value);
    // Adds a line read from a file: it is kept in lines() even when its key is a duplicate.
    void addLine(std::wstring key, std::wstring value);
    // Replaces the value of an existing key (and of its first line) or adds it.
    void set(std::wstring key, std::wstring value);

private:
    std::wstring name_;
    std::vector<IniEntry> entries_;
    std::vector<IniEntry> lines_;
    std::unordered_map<std::wstring, size_t> index_; // folded key -> entry
};

// The platform's integer reading of a profile value: leading blanks, an optional sign, then
// decimal digits up to the first other character; the digits wrap around in 32 bits as they do
// there. Returns false (and leaves `value`) when there are no digits.
bool parseProfileInt(std::wstring_view text, int& value);

class IniFile {
public:
    IniFile() = default;

    // Parses decoded text. Never fails: what cannot be read is skipped.
    static IniFile parse(std::wstring_view text);
    // Reads a file; fileNotFound / fileError leave the reader empty.
    Status load(const std::filesystem::path& file);
    // Writes the sections back in the encoding the file was read in (comments are not kept).
    // The write is atomic: a temporary file in the same folder is renamed over the old one.
    Status save(const std::filesystem::path& file) const;

    const std::vector<IniSection>& sections() const { return sections_; }
    const IniSection* findSection(std::wstring_view name) const;
    TextEncoding encoding() const { return encoding_; }

    // Values (and keys returned by index) are cut to capacity - 1 characters.
    void setValueCapacity(size_t capacity) { capacity_ = capacity; }
    size_t valueCapacity() const { return capacity_; }

    // The selected section: the getters below read it. False when absent; the name is still
    // remembered so that a following set creates the section.
    bool selectSection(std::wstring_view name);
    // Adds an empty section when none of that name exists (true when added).
    bool addSection(std::wstring_view name);
    bool getString(std::wstring_view key, std::wstring& value) const;
    // False when the key is absent or its value has no digits.
    bool getInt(std::wstring_view key, int& value) const;
    size_t keyCount() const;
    bool keyAt(size_t index, std::wstring& key, std::wstring& value) const;

    // Change the selected section in memory (creating it when needed); false when no section
    // name was ever selected.
    bool setString(std::wstring_view key, std::wstring_view value);
    bool setInt(std::wstring_view key, int value);

private:
    IniSection* selected();
    const IniSection* selected() const;
    std::wstring cut(std::wstring_view text) const;

    std::vector<IniSection> sections_;
    std::unordered_map<std::wstring, size_t> index_; // folded name -> section
    std::wstring selectedName_;
    bool hasSelection_ = false;
    TextEncoding encoding_ = TextEncoding::utf8;
    size_t capacity_ = kIniValueCapacity;
};

} // namespace zhost::settings
