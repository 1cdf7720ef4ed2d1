#pragma once
// A temporary folder of its own for each test: created empty under the system's temporary
// folder with the test's name in it, removed at the end, and kept when the test failed so that
// its drawings, scripts and transcripts can be looked at (the failure output says where).
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace ztest {

class TempFolder {
public:
    // `label` goes into the folder's name; by default the running test's suite and name.
    explicit TempFolder(std::string_view label = {});
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& relative) const {
        return path_ / relative;
    }

    // Writes the bytes to a file under the folder (parents made); returns its path.
    std::filesystem::path Write(const std::filesystem::path& relative,
                                std::string_view bytes) const;
    // Makes a folder under the folder (parents made); returns its path.
    std::filesystem::path MakeFolder(const std::filesystem::path& relative) const;

    // Keep the folder whatever the outcome (for looking at what a passing test made).
    void Keep() { keep_ = true; }

private:
    std::filesystem::path path_;
    bool keep_ = false;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& file);
// Writes the bytes to the file, making its folder; a test failure when it cannot.
void WriteFile(const std::filesystem::path& file, std::string_view bytes);

// A fixture with a temporary folder: `Dir()`, `Write()`, `ReadFile()`.
class TempFolderTest : public ::testing::Test {
protected:
    const std::filesystem::path& Dir() const { return folder_.path(); }
    std::filesystem::path Write(const std::filesystem::path& relative, std::string_view bytes) {
        return folder_.Write(relative, bytes);
    }
    TempFolder& Folder() { return folder_; }

private:
    TempFolder folder_;
};

} // namespace ztest
