// The tag level: line pairs, numbers, line numbers in errors.
#include "tokenizer.h"

#include "support/status.h"

#include <gtest/gtest.h>

using namespace zhost;
using namespace zhost::dxf;

TEST(DxfTokenizer, SplitsPairsWithCrLfAndBom) {
    std::vector<Tag> tags;
    const auto r = tokenize(
        "\xEF\xBB\xBF  0\r\nSECTION\r\n 10\r\n1.5\r\n999\r\nnote\r\n 70\r\n  -3\r\n", tags);
    ASSERT_OK(r.status);
    ASSERT_EQ(3u, tags.size()); // the comment is dropped
    EXPECT_EQ("SECTION", tags[0].value());
    EXPECT_EQ(1u, tags[0].line);
    EXPECT_DOUBLE_EQ(1.5, tags[1].real());
    EXPECT_EQ(3u, tags[1].line);
    EXPECT_EQ(-3, tags[2].integer());
}

TEST(DxfTokenizer, BadGroupCodeNamesItsLine) {
    std::vector<Tag> tags;
    const auto r = tokenize("0\nSECTION\nabc\nx\n", tags);
    EXPECT_EQ(Status::parseError, r.status);
    EXPECT_EQ(3, r.errorLine);
    EXPECT_EQ(L"line 3: a group code was expected", r.message);
}

TEST(DxfTokenizer, NaNHugeAndTextInNumbersAreRefused) {
    for (const char* bad : {"10\nnan\n", "10\n1e999\n", "10\ninf\n", "10\n1.2.3\n", "70\nx\n"}) {
        std::vector<Tag> tags;
        const auto r = tokenize(bad, tags);
        EXPECT_EQ(Status::parseError, r.status) << bad;
        EXPECT_EQ(2, r.errorLine) << bad;
    }
}

TEST(DxfTokenizer, FileEndingAfterGroupCodeIsTruncated) {
    std::vector<Tag> tags;
    const auto r = tokenize("0\nSECTION\n2\n", tags);
    EXPECT_EQ(Status::parseError, r.status);
    EXPECT_EQ(3, r.errorLine);
}

TEST(DxfTokenizer, WholeRealsAreTakenForIntegers) {
    std::vector<Tag> tags;
    ASSERT_OK(tokenize("70\n1.0\n", tags).status);
    EXPECT_EQ(1, tags[0].integer());
    EXPECT_FALSE(ok(tokenize("70\n1.5\n", tags).status));
}

TEST(DxfTokenizer, HandlesAreHex) {
    std::vector<Tag> tags;
    ASSERT_OK(tokenize("5\n1aF\n330\nzz\n", tags).status);
    EXPECT_EQ(0x1AFu, tags[0].handle());
    EXPECT_EQ(0u, tags[1].handle());
}

TEST(DxfTokenizer, BinaryDxfIsRefusedWithAMessage) {
    std::vector<Tag> tags;
    const auto r = tokenize(std::string_view("AutoCAD Binary DXF\r\n\x1a\0", 22), tags);
    EXPECT_EQ(Status::parseError, r.status);
    EXPECT_NE(std::wstring::npos, r.message.find(L"binary"));
}
