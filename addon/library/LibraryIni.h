#pragma once
// A dialog description read for the library check: every section and key with the line it
// stands on, so that a report can name the place. The sections and keys are what the loader of
// the condition dialog sees (names trimmed and compared without case, a later key overwriting
// an earlier one).
#include <string>
#include <vector>

struct CIniKey {
    std::wstring m_name;
    std::wstring m_value;
    int m_line = 0;
};

struct CIniSection {
    std::wstring m_name;
    int m_line = 0;
    std::vector<CIniKey> m_keys; // in file order, one per name (the last one written wins)

    // The key of that name (without case), or null.
    const CIniKey* Find(const std::wstring& name) const;
};

// Reads decoded text (DecodeLibraryText): "[name]" starts a section, "key=value" adds a key,
// lines starting with ";" and lines without "=" are skipped; lines before the first section are
// ignored. Never fails: any text gives some sections.
std::vector<CIniSection> ScanLibraryIni(const std::wstring& text);
