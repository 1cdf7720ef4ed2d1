// Loading add-on libraries through the host's shared library, as the program does.
#include "zhost/core/utf.h"
#include "zhost/db/database.h"
#include "zhost/editor/editor.h"
#include "zhost/rx/loader.h"

#include "support/status.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace zhost;

namespace {

std::string plugin(const char* name) {
    return std::string(ZORMA_BINARY_DIR) + "/test-plugins/" + name + ".so";
}

class AddonLoading : public ::testing::Test {
protected:
    void SetUp() override {
        ed::resetSession();
        ed::setWorkingDatabase(&db);
        ed::setTranscriptSink([this](std::wstring_view t) { transcript += t; });
    }
    void TearDown() override {
        ed::setWorkingDatabase(nullptr);
        ed::setTranscriptSink({});
    }
    db::Database db;
    std::wstring transcript;
};

} // namespace

TEST_F(AddonLoading, InitialiseRegistersCommandsAndUnloadRemovesThem) {
    rx::AddonModule m;
    std::wstring message;
    ASSERT_OK(m.load(plugin("zorma_test_plugin24"), 24, message)) << toUtf8(message);
    EXPECT_EQ(m.apiMajor(), 24);
    EXPECT_NE(rx::commandStack().lookup(L"TESTPLUG_HELLO"), nullptr);
    const auto paths = rx::loadedModulePaths();
    EXPECT_TRUE(std::any_of(paths.begin(), paths.end(), [](const std::wstring& p) {
        return p.find(L"zorma_test_plugin24.so") != std::wstring::npos;
    }));
    m.unload();
    EXPECT_EQ(rx::commandStack().lookup(L"TESTPLUG_HELLO"), nullptr);
    EXPECT_TRUE(rx::loadedModulePaths().empty());
}

TEST_F(AddonLoading, AddonCommandDragsWithCursorMovesInOrder) {
    rx::AddonModule m;
    std::wstring message;
    ASSERT_OK(m.load(plugin("zorma_test_plugin24"), 24, message));
    auto src = ed::makeQueue({L"testplug_hello", L"@move 1,2", L"@move 1,2", L"3,4"});
    EXPECT_TRUE(ed::runCommandLoop(*src).ok());
    // The prompt line shows each move; between them the jig's calls come in order.
    std::wstring calls;
    size_t start = 0;
    while (start < transcript.size()) {
        size_t end = transcript.find(L'\n', start);
        if (end == std::wstring::npos)
            end = transcript.size();
        const std::wstring line = transcript.substr(start, end - start);
        if (line.rfind(L"sampler", 0) == 0 || line.rfind(L"update", 0) == 0)
            calls += line + L";";
        start = end + 1;
    }
    EXPECT_EQ(calls, L"sampler 0;update 1,2;sampler -6;sampler 0;update 3,4;")
        << toUtf8(transcript);
    EXPECT_NE(transcript.find(L"drag ended with 0"), std::wstring::npos);
}

TEST_F(AddonLoading, OrdinalEntryPointsByName) {
    rx::AddonModule m;
    std::wstring message;
    ASSERT_OK(m.load(plugin("zorma_test_plugin24"), 24, message));
    EXPECT_EQ(rx::ordinalExportName(1000), "zorma_ordinal_1000");
    EXPECT_OK(m.callOrdinal(1000));
    EXPECT_NE(transcript.find(L"ordinal 1000 ran"), std::wstring::npos);
    EXPECT_EQ(m.callOrdinal(1001), Status::keyNotFound);
}

TEST_F(AddonLoading, LibraryWithoutEntryPointsIsRefused) {
    rx::AddonModule m;
    std::wstring message;
    EXPECT_EQ(m.load(plugin("zorma_not_addon"), 24, message), Status::keyNotFound);
    EXPECT_NE(message.find(L"acrxEntryPoint"), std::wstring::npos);
    EXPECT_FALSE(m.loaded());
}

TEST_F(AddonLoading, ApiVersionMustMatchTheServedOne) {
    rx::AddonModule m;
    std::wstring message;
    EXPECT_EQ(m.load(plugin("zorma_test_plugin24"), 23, message), Status::invalidInput);
    EXPECT_NE(message.find(L"--api 24"), std::wstring::npos);
    EXPECT_EQ(m.load(plugin("zorma_test_plugin23"), 24, message), Status::invalidInput);
    ASSERT_OK(m.load(plugin("zorma_test_plugin23"), 23, message));
    EXPECT_EQ(m.apiVersion()[0], 23);
    EXPECT_EQ(m.apiVersion()[1], 2);
    m.unload();
    EXPECT_EQ(m.load(plugin("no_such_plugin"), 24, message), Status::fileNotFound);
}
