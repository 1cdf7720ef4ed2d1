// Attribute values in saved drawings: any script survives R2013 unchanged, and R2000 escapes
// what its code page cannot hold instead of losing it.
#include "AtrTestUtil.h"
#include "attributes/AttributeValues.h"

#include "support/ezdxf.h"
#include "support/status.h"
#include "support/temp_folder.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/dxf/dxf.h"

#include <gtest/gtest.h>

namespace db = zhost::db;
namespace dxf = zhost::dxf;

namespace {

CAtrArray ValuesInEveryScript() {
    CAtrArray items = MakeBuiltinAtrList();
    items[0].m_value = L"六角ボルト 部分ねじ";
    items[1].m_value = std::wstring(255, L'鋼');
    items[2].m_value = L"😀🔩 emoji outside the basic plane";
    items[3].m_value = L"\u00e9t\u00e9 \u0416 \u4e02 \uff5e \u2460 \u00a6"; // some not in CP932
    items[4].m_value = std::wstring(254, L'x') + L"😀";
    items[6].m_value = L"鋼,8.8";
    items[8].m_value = L"  leading and trailing blanks  ";
    items[9].m_value = L"back\\slash and %s %d and \\U+0041 literally";
    return items;
}

class AttributeDxfTest : public ztest::TempFolderTest {
protected:
    void SetUp() override {
        db::ObjectId block;
        ASSERT_OK(m_db.addBlock(L"PART_1", block));
        ASSERT_TRUE(AddAttributeDefinitions(block, m_items));
        ASSERT_OK(m_db.appendToModelSpace(
            std::make_unique<db::BlockReference>(zhost::geom::Point3d(5, 5, 0), block), m_ref));
        db::ObjectPtr<db::BlockReference> ref(m_ref, db::OpenMode::forWrite);
        ASSERT_EQ(WriteAttributeValues(*ref, m_items), int(m_items.size()));
    }

    // Saves, reads back and returns the values read from the only reference.
    CAtrArray RoundTrip(const dxf::WriteOptions& options, std::filesystem::path& file) {
        file = Dir() / (options.version == dxf::Version::r2000 ? "r2000.dxf" : "r2013.dxf");
        EXPECT_OK(dxf::writeDxf(m_db, file, options));
        db::Database back;
        dxf::ReadReport report;
        EXPECT_OK(dxf::readDxf(file, back, report));
        CAtrArray values = MakeBuiltinAtrList();
        db::ObjectPtr<db::BlockTableRecord> ms(back.modelSpaceId(), db::OpenMode::forRead);
        for (db::ObjectId id : ms->entityIds()) {
            db::ObjectPtr<db::BlockReference> ref(id, db::OpenMode::forRead);
            if (ref)
                ReadAttributeValues(values, *ref);
        }
        return values;
    }

    db::Database m_db;
    db::ObjectId m_ref;
    CAtrArray m_items = ValuesInEveryScript();
};

} // namespace

TEST_F(AttributeDxfTest, R2013KeepsEveryValue) {
    std::filesystem::path file;
    EXPECT_EQ(RoundTrip({dxf::Version::r2013, 932}, file), m_items);
    SKIP_WITHOUT_EZDXF();
    EXPECT_TRUE(ztest::PassesEzdxfAudit(file));
}

TEST_F(AttributeDxfTest, R2000EscapesWhatCodePage932Lacks) {
    std::filesystem::path file;
    EXPECT_EQ(RoundTrip({dxf::Version::r2000, 932}, file), m_items);
    const std::string text = ztest::ReadFile(file);
    EXPECT_NE(text.find("\\U+"), std::string::npos);
    SKIP_WITHOUT_EZDXF();
    EXPECT_TRUE(ztest::PassesEzdxfAudit(file));
}
