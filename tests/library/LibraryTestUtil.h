#pragma once
// Small helpers of the library tests: files written in the encodings the library's authors use
// (temporary folders come from the shared harness).
#include "support/temp_folder.h"

#include "zhost/settings/codepage.h"

#include <filesystem>
#include <string>

namespace libtest {

// The wide form of a path, as the library's readers take it.
inline std::wstring WidePath(const std::filesystem::path& p) {
    return p.wstring();
}

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    ztest::WriteFile(file, bytes);
}

// The text in the host's code page 932, as a Windows text editor saves it by default.
inline std::string Cp932(const std::wstring& text) {
    return zhost::settings::encode(text, zhost::settings::kCodePage932);
}

// The text in UTF-16LE, with the byte-order mark unless asked otherwise.
inline std::string Utf16Le(const std::wstring& text, bool bom = true) {
    std::string out = bom ? std::string("\xFF\xFE", 2) : std::string();
    return out + zhost::settings::encode(text, zhost::settings::kCodePageUtf16Le);
}

inline std::string FixtureDir() {
    return std::string(ZORMA_SOURCE_DIR) + "/tests/library/fixtures";
}

} // namespace libtest
