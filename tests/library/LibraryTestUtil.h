#pragma once
// Small helpers of the library tests: a temporary folder that is removed afterwards, and files
// written in the encodings the library's authors use.
#include "zhost/settings/codepage.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace libtest {

class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zorma-lib-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::wstring wpath() const { return path_.wstring(); }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
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
