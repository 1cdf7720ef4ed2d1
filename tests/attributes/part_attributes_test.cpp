// The attribute items of placed parts: the built-in table, the prompt file, the definitions of a
// part block, the defaults, writing onto a reference and reading back.
#include "AtrTestUtil.h"
#include "attributes/AttributeValues.h"
#include "attributes/PartAttributes.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/settings/codepage.h"
#include "zhost/settings/product.h"

#include "support/status.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace db = zhost::db;
namespace geom = zhost::geom;

namespace {

// --- The prompt file ------------------------------------------------------------------------

class PromptFileTest : public ztest::TempFolderTest {
protected:
    void SetUp() override {
        Folder().MakeFolder("config");
        zhost::settings::setProductFolder(Dir());
        zhost::settings::setUserFolder(Folder().MakeFolder("user"));
    }
    void TearDown() override {
        zhost::settings::setProductFolder({});
        zhost::settings::setUserFolder({});
    }
    // Writes the prompt file in UTF-16LE with its mark, as the product ships it.
    void WritePromptFile(const std::wstring& text) {
        Write("config/PartsAttPrompt.ini",
              "\xFF\xFE" + zhost::settings::encode(text, zhost::settings::kCodePageUtf16Le));
    }
};

} // namespace

TEST(AtrTable, TwentyRowsWithTheirLegacyTags) {
    const CAtrArray items = MakeBuiltinAtrList();
    ASSERT_EQ(items.size(), 20u);
    EXPECT_EQ(items.front(), (CAtr{L"NAME", L"部品名", L""}));
    EXPECT_EQ(items[6], (CAtr{L"MATERIAL", L"材質", L""}));
    EXPECT_EQ(items.back(), (CAtr{L"ITEM9", L"備考9", L""}));
    EXPECT_EQ(FindLegacyAtrRow(L"ATT_TAG_1"), 0);
    EXPECT_EQ(FindLegacyAtrRow(L"att_tag_7"), 6);
    EXPECT_EQ(FindLegacyAtrRow(L"ATT_TAG_20"), 19);
    // Part number and maker were not in the earlier library.
    EXPECT_EQ(FindLegacyAtrRow(L"ATT_TAG_5"), -1);
    EXPECT_EQ(FindLegacyAtrRow(L"ATT_TAG_11"), -1);
    EXPECT_EQ(FindLegacyAtrRow(L"NAME"), -1);
    EXPECT_EQ(FindLegacyAtrRow(L""), -1);
    // The table is closed by an all-empty row.
    EXPECT_EQ(BuiltinAtrTable()[20].m_tag, nullptr);
}

TEST_F(PromptFileTest, NoPromptFileGivesTheBuiltInTable) {
    CAtrArray items{{L"OLD", L"old", L"x"}};
    LoadAtrList(items);
    ASSERT_EQ(items.size(), 20u);
    EXPECT_EQ(items.front().m_tag, L"NAME");
    EXPECT_EQ(items.front().m_prompt, L"部品名");
}

TEST_F(PromptFileTest, SectionKeysInFileOrder) {
    WritePromptFile(L"[OTHER]\r\nIGNORED=x\r\n[PROMPT]\r\nNAME=名前\r\nMATERIAL=材質\r\n");
    CAtrArray items;
    LoadAtrList(items);
    EXPECT_EQ(items, (CAtrArray{{L"NAME", L"名前", L""}, {L"MATERIAL", L"材質", L""}}));
}

TEST_F(PromptFileTest, MissingOrEmptySectionFallsBackToTheTable) {
    WritePromptFile(L"[OTHER]\r\nNAME=名前\r\n");
    CAtrArray items;
    LoadAtrList(items);
    EXPECT_EQ(items.size(), 20u);
    WritePromptFile(L"[PROMPT]\r\n");
    LoadAtrList(items);
    EXPECT_EQ(items.size(), 20u);
}

TEST_F(PromptFileTest, EmptyPromptIsKept) {
    WritePromptFile(L"[PROMPT]\r\nZ_LAST=\r\nA_FIRST=最初\r\n");
    CAtrArray items;
    LoadAtrList(items);
    EXPECT_EQ(items, (CAtrArray{{L"Z_LAST", L"", L""}, {L"A_FIRST", L"最初", L""}}));
}

// --- Definitions, writing and reading back ----------------------------------------------------

namespace {

class AttributeDrawingTest : public ::testing::Test {
protected:
    db::ObjectId AddBlock(const wchar_t* name) {
        db::ObjectId id;
        EXPECT_OK(m_db.addBlock(name, id));
        return id;
    }
    db::ObjectId AddReference(db::ObjectId block, const geom::Point3d& at, double rotation = 0) {
        auto ref = std::make_unique<db::BlockReference>(at, block);
        ref->setRotation(rotation);
        db::ObjectId id;
        EXPECT_OK(m_db.appendToModelSpace(std::move(ref), id));
        return id;
    }
    db::ObjectId AddAttribute(db::ObjectId refId, const wchar_t* tag, const wchar_t* text) {
        db::ObjectPtr<db::BlockReference> ref(refId, db::OpenMode::forWrite);
        auto attr = std::make_unique<db::Attribute>();
        attr->setTag(tag);
        attr->setTextString(text);
        db::ObjectId id;
        EXPECT_OK(ref->appendAttribute(std::move(attr), id));
        return id;
    }
    std::vector<db::ObjectPtr<db::AttributeDefinition>> Definitions(db::ObjectId block) {
        std::vector<db::ObjectPtr<db::AttributeDefinition>> defs;
        db::ObjectPtr<db::BlockTableRecord> btr(block, db::OpenMode::forRead);
        for (db::ObjectId id : btr->entityIds())
            defs.emplace_back(id, db::OpenMode::forRead);
        return defs;
    }
    // Tag -> text of the reference's attributes, with the number of attributes.
    std::vector<std::pair<std::wstring, std::wstring>> Attributes(db::ObjectId refId) {
        std::vector<std::pair<std::wstring, std::wstring>> out;
        db::ObjectPtr<db::BlockReference> ref(refId, db::OpenMode::forRead);
        for (db::ObjectId id : ref->attributeIds()) {
            db::ObjectPtr<db::Attribute> a(id, db::OpenMode::forRead);
            out.emplace_back(a->tag(), a->textString());
        }
        return out;
    }
    int Write(db::ObjectId refId, const CAtrArray& items) {
        db::ObjectPtr<db::BlockReference> ref(refId, db::OpenMode::forWrite);
        return WriteAttributeValues(*ref, items);
    }
    void Read(db::ObjectId refId, CAtrArray& items) {
        db::ObjectPtr<db::BlockReference> ref(refId, db::OpenMode::forRead);
        ReadAttributeValues(items, *ref);
    }

    db::Database m_db;
};

} // namespace

TEST_F(AttributeDrawingTest, DefinitionsStackDownFromTheIdentFirst) {
    const db::ObjectId block = AddBlock(L"PART_1");
    const CAtrArray items{{L"NAME", L"部品名", L""}, {L"MATERIAL", L"材質", L""}};
    ASSERT_TRUE(AddAttributeDefinitions(block, items));
    const auto defs = Definitions(block);
    ASSERT_EQ(defs.size(), 3u); // IDENT and the two items
    EXPECT_EQ(defs[0]->tag(), L"IDENT");
    EXPECT_EQ(defs[0]->prompt(), L"識別");
    EXPECT_EQ(defs[0]->defaultText(), L"EQ");
    EXPECT_TRUE(defs[0]->isConstant());
    EXPECT_EQ(defs[1]->tag(), L"NAME");
    EXPECT_EQ(defs[1]->prompt(), L"部品名");
    EXPECT_FALSE(defs[1]->isConstant());
    EXPECT_EQ(defs[2]->tag(), L"MATERIAL");
    for (size_t i = 0; i < defs.size(); ++i) {
        EXPECT_TRUE(defs[i]->isInvisible());
        EXPECT_DOUBLE_EQ(defs[i]->height(), 1.0);
        EXPECT_TRUE(defs[i]->isDefaultAlignment());
        EXPECT_DOUBLE_EQ(defs[i]->position().x, 0.0);
        EXPECT_DOUBLE_EQ(defs[i]->position().y, -double(i));
    }
}

TEST_F(AttributeDrawingTest, RefusedTagsAreSkippedWithoutAGap) {
    const db::ObjectId block = AddBlock(L"PART_1");
    const CAtrArray items{{L"BAD TAG", L"x", L""}, {L"", L"y", L""}, {L"ITEM1", L"備考1", L""}};
    ASSERT_TRUE(AddAttributeDefinitions(block, items));
    const auto defs = Definitions(block);
    ASSERT_EQ(defs.size(), 2u);
    EXPECT_EQ(defs[1]->tag(), L"ITEM1");
    EXPECT_DOUBLE_EQ(defs[1]->position().y, -1.0);
}

TEST_F(AttributeDrawingTest, DefinitionsNeedABlock) {
    EXPECT_FALSE(AddAttributeDefinitions({}, MakeBuiltinAtrList()));
    const db::ObjectId ref = AddReference(AddBlock(L"B"), {0, 0, 0});
    EXPECT_FALSE(AddAttributeDefinitions(ref, MakeBuiltinAtrList()));
}

TEST(AttributeDefaults, NameAndMaterialOnlyWhenGiven) {
    CAtrArray items = MakeBuiltinAtrList();
    items[2].m_value = L"kept";
    const std::wstring name = L"六角ボルト";
    const std::wstring material = L"鋼,8.8";
    FillAttributeDefaults(items, &name, &material);
    EXPECT_EQ(items[0].m_value, name);
    EXPECT_EQ(items[6].m_value, material);
    EXPECT_EQ(items[2].m_value, L"kept");
    EXPECT_EQ(items[1].m_value, L""); // NAME1 is not NAME

    FillAttributeDefaults(items, nullptr, nullptr);
    EXPECT_EQ(items[0].m_value, name);

    CAtrArray lower{{L"name", L"", L""}, {L"Material", L"", L""}};
    const std::wstring other = L"黄銅";
    FillAttributeDefaults(lower, nullptr, &other);
    EXPECT_EQ(lower[0].m_value, L"");
    EXPECT_EQ(lower[1].m_value, L"黄銅");
}

TEST_F(AttributeDrawingTest, ExistingAttributeIsReplacedNotDuplicated) {
    const db::ObjectId ref = AddReference(AddBlock(L"B"), {10, 20, 0});
    AddAttribute(ref, L"name", L"old");
    const CAtrArray items{{L"NAME", L"部品名", L"new"}, {L"MATERIAL", L"材質", L"SS400"}};
    EXPECT_EQ(Write(ref, items), 2);
    const auto attrs = Attributes(ref);
    ASSERT_EQ(attrs.size(), 2u);
    EXPECT_EQ(attrs[0], (std::pair<std::wstring, std::wstring>{L"name", L"new"}));
    EXPECT_EQ(attrs[1], (std::pair<std::wstring, std::wstring>{L"MATERIAL", L"SS400"}));
    // A second write changes texts only.
    EXPECT_EQ(Write(ref, items), 2);
    EXPECT_EQ(Attributes(ref).size(), 2u);
}

TEST_F(AttributeDrawingTest, NewAttributesSitAtTheInsertionPointTurnedWithTheReference) {
    const double angle = std::numbers::pi / 6;
    const db::ObjectId ref = AddReference(AddBlock(L"B"), {10, 20, 0}, angle);
    ASSERT_EQ(Write(ref, {{L"NAME", L"部品名", L"ボルト"}}), 1);
    db::ObjectPtr<db::BlockReference> r(ref, db::OpenMode::forRead);
    ASSERT_EQ(r->attributeIds().size(), 1u);
    db::ObjectPtr<db::Attribute> a(r->attributeIds().front(), db::OpenMode::forRead);
    EXPECT_EQ(a->textString(), L"ボルト");
    EXPECT_TRUE(a->isInvisible());
    EXPECT_DOUBLE_EQ(a->height(), 1.0);
    EXPECT_NEAR(a->position().x, 10.0, 1e-12);
    EXPECT_NEAR(a->position().y, 20.0, 1e-12);
    EXPECT_NEAR(a->rotation(), angle, 1e-12);
    EXPECT_TRUE(a->isDefaultAlignment());
}

TEST_F(AttributeDrawingTest, LegacyTagsReadBackByRow) {
    const db::ObjectId ref = AddReference(AddBlock(L"B"), {0, 0, 0});
    AddAttribute(ref, L"ATT_TAG_7", L"S45C");
    AddAttribute(ref, L"att_tag_1", L"ボルト");
    AddAttribute(ref, L"ATT_TAG_20", L"最後");
    CAtrArray items = MakeBuiltinAtrList();
    Read(ref, items);
    EXPECT_EQ(items[6].m_tag, L"MATERIAL");
    EXPECT_EQ(items[6].m_value, L"S45C");
    EXPECT_EQ(items[0].m_value, L"ボルト");
    EXPECT_EQ(items[19].m_value, L"最後");
    // A list shorter than the row takes nothing from it.
    CAtrArray two{{L"NAME", L"", L""}, {L"MATERIAL", L"", L""}};
    Read(ref, two);
    EXPECT_EQ(two[0].m_value, L"ボルト");
    EXPECT_EQ(two[1].m_value, L"");
}

TEST_F(AttributeDrawingTest, TagsReadBackIntoTheFirstMatchingItem) {
    const db::ObjectId ref = AddReference(AddBlock(L"B"), {0, 0, 0});
    AddAttribute(ref, L"material", L"SUS304");
    AddAttribute(ref, L"UNKNOWN", L"ignored");
    CAtrArray items{{L"MATERIAL", L"", L""}, {L"Material", L"", L"second"}};
    Read(ref, items);
    EXPECT_EQ(items[0].m_value, L"SUS304");
    EXPECT_EQ(items[1].m_value, L"second");
}

TEST_F(AttributeDrawingTest, WrittenValuesReadBackUnchanged) {
    const db::ObjectId ref = AddReference(AddBlock(L"B"), {0, 0, 0});
    CAtrArray items = MakeBuiltinAtrList();
    items[0].m_value = std::wstring(255, L'あ');
    items[3].m_value = L"😀 emoji ∮ ☃";
    items[7].m_value = L"";
    items[10].m_value = L"\u00e9\u0416\u4e02\uff5e"; // not all in code page 932
    Write(ref, items);
    CAtrArray back = MakeBuiltinAtrList();
    Read(ref, back);
    EXPECT_EQ(back, items);
}
