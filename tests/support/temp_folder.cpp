#include "temp_folder.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <system_error>

namespace ztest {

namespace fs = std::filesystem;

namespace {

std::string CurrentTestLabel() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (info == nullptr)
        return "suite";
    return std::string(info->test_suite_name()) + "." + info->name();
}

// Parameterised tests have "/" in their names; keep the folder name one plain component.
std::string Sanitised(std::string_view label) {
    std::string out;
    for (char c : label)
        out += std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' ? c : '_';
    return out.substr(0, 120);
}

bool CurrentTestFailed() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info != nullptr && info->result() != nullptr && info->result()->Failed();
}

} // namespace

TempFolder::TempFolder(std::string_view label) {
    const std::string name = Sanitised(label.empty() ? CurrentTestLabel() : std::string(label));
    std::string pattern = (fs::temp_directory_path() / ("zorma-" + name + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot make a temporary folder " << pattern;
        return;
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    if (path_.empty())
        return;
    if (keep_ || CurrentTestFailed()) {
        std::cerr << "[  KEPT    ] " << path_.string() << "\n";
        return;
    }
    std::error_code ec;
    fs::remove_all(path_, ec);
}

fs::path TempFolder::Write(const fs::path& relative, std::string_view bytes) const {
    const fs::path file = path_ / relative;
    WriteFile(file, bytes);
    return file;
}

fs::path TempFolder::MakeFolder(const fs::path& relative) const {
    const fs::path folder = path_ / relative;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        ADD_FAILURE() << "cannot make " << folder.string() << ": " << ec.message();
    return folder;
}

void WriteFile(const fs::path& file, std::string_view bytes) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out)
        ADD_FAILURE() << "cannot write " << file.string();
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace ztest
