// The attribute steps of a placement on the part's description: the "属性編集" switch, the
// defaults from the chosen part, and edit-and-write with and without the dialog.
#include "AtrTestUtil.h"
#include "attributes/PartAttributeEdit.h"
#include "placement/PlacementTestUtil.h"

#include "support/status.h"
#include "support/temp_folder.h"
#include "support/zorma_run.h"

#include "zhost/db/block_reference.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/settings/product.h"
#include "zhost/ui/backend.h"
#include "zhost/ui/dialog.h"
#include "zhost/ui/grid.h"

#include <gtest/gtest.h>

namespace db = zhost::db;
namespace ui = zhost::ui;
using placetest::Control;

namespace {

// Records the dialogs shown; the attribute dialog gets a value typed into its first row and OK.
class RecordingBackend : public ui::Backend {
public:
    std::vector<int> shown;
    void runModalLoop(ui::Dialog& d) override {
        shown.push_back(d.dialogTemplate().resourceId);
        if (ui::Grid* g = d.grid(1011); g != nullptr && g->userType(2, 1, L"typed"))
            d.onOk();
        else
            d.endDialog(ui::idCancel);
    }
    int trackPopupMenu(ui::Menu&, ui::Point, ui::Dialog*) override { return 0; }
    void showMessageBox(std::wstring_view, std::wstring_view) override {}
};

class AtrEditTest : public ztest::TempFolderTest {
protected:
    void SetUp() override {
        zhost::settings::setUserFolder(Dir());
        auto backend = std::make_unique<RecordingBackend>();
        m_backend = backend.get();
        ui::setBackend(std::move(backend));
        db::ObjectId block;
        ASSERT_OK(m_db.addBlock(L"PART_1", block));
        ASSERT_OK(m_db.appendToModelSpace(
            std::make_unique<db::BlockReference>(zhost::geom::Point3d(1, 2, 0), block), m_ref));
        m_desc.m_params = {Control(ControlKind::Quality, L"Quality", L"鋼,8.8"),
                           Control(ControlKind::Check, L"Check1", L"1", L"中心線")};
        m_desc.m_atrList = {{L"NAME", L"部品名", L"ボルト"}, {L"MATERIAL", L"材質", L""}};
    }
    void TearDown() override {
        ui::setBackend(nullptr);
        zhost::settings::setUserFolder({});
    }
    std::wstring AttributeText(const wchar_t* tag) {
        db::ObjectPtr<db::BlockReference> ref(m_ref, db::OpenMode::forRead);
        for (db::ObjectId id : ref->attributeIds()) {
            db::ObjectPtr<db::Attribute> a(id, db::OpenMode::forRead);
            if (a->tag() == tag)
                return a->textString();
        }
        return L"<none>";
    }

    RecordingBackend* m_backend = nullptr;
    db::Database m_db;
    db::ObjectId m_ref;
    PartDescription m_desc;
};

} // namespace

TEST(AtrEditSwitch, OnlyACheckCaptionedForItWithANonZeroValue) {
    PartDescription d;
    EXPECT_FALSE(IsAtrEditOn(d));
    d.m_params = {Control(ControlKind::Check, L"Check1", L"1", L"中心線"),
                  Control(ControlKind::Edit, L"Edit1", L"1", L"属性編集"),
                  Control(ControlKind::Check, L"Check2", L"0", L"属性編集")};
    EXPECT_FALSE(IsAtrEditOn(d));
    d.m_params[2].m_value = L"x";
    EXPECT_FALSE(IsAtrEditOn(d));
    d.m_params[2].m_value = L"2";
    EXPECT_TRUE(IsAtrEditOn(d));
    d.m_params[2].m_value = L"-1";
    EXPECT_TRUE(IsAtrEditOn(d));
}

TEST(AtrDefaults, NameAndTheFirstQualityValue) {
    PartDescription d;
    d.m_params = {Control(ControlKind::List, L"List1", L"M10"),
                  Control(ControlKind::Quality, L"Quality", L"ステンレス鋼,A2-70"),
                  Control(ControlKind::Quality, L"Quality2", L"黄銅")};
    d.m_atrList = MakeBuiltinAtrList();
    SetAtrDefaults(d, L"六角ボルト");
    EXPECT_EQ(d.m_atrList[0].m_value, L"六角ボルト");
    EXPECT_EQ(d.m_atrList[6].m_value, L"ステンレス鋼,A2-70");
    // Without a name NAME keeps its value; without a Quality control MATERIAL keeps its value.
    d.m_params.erase(d.m_params.begin() + 1, d.m_params.end());
    d.m_atrList[6].m_value = L"kept";
    SetAtrDefaults(d, nullptr);
    EXPECT_EQ(d.m_atrList[0].m_value, L"六角ボルト");
    EXPECT_EQ(d.m_atrList[6].m_value, L"kept");
}

TEST_F(AtrEditTest, NoDialogWithoutTheSwitchAndTheDefaultsAreWritten) {
    SetAtrDefaults(m_desc, L"六角ボルト");
    EXPECT_TRUE(EditAndWriteAttributes(m_ref, m_desc));
    m_desc.m_params.push_back(Control(ControlKind::Check, L"Check2", L"0", L"属性編集"));
    EXPECT_TRUE(EditAndWriteAttributes(m_ref, m_desc));
    EXPECT_TRUE(m_backend->shown.empty());
    EXPECT_EQ(AttributeText(L"NAME"), L"六角ボルト");
    EXPECT_EQ(AttributeText(L"MATERIAL"), L"鋼,8.8");
}

TEST_F(AtrEditTest, SwitchOnShowsTheDialogAndWritesWhatWasTyped) {
    m_desc.m_params.push_back(Control(ControlKind::Check, L"Check2", L"1", L"属性編集"));
    EXPECT_TRUE(EditAndWriteAttributes(m_ref, m_desc));
    EXPECT_EQ(m_backend->shown, std::vector<int>{223});
    EXPECT_EQ(m_desc.m_atrList[0].m_value, L"typed");
    EXPECT_EQ(AttributeText(L"NAME"), L"typed");
}

TEST_F(AtrEditTest, ReferenceThatCannotBeOpenedFails) {
    m_desc.m_params.push_back(Control(ControlKind::Check, L"Check2", L"1", L"属性編集"));
    db::ObjectPtr<db::BlockReference> held(m_ref, db::OpenMode::forRead);
    EXPECT_FALSE(EditAndWriteAttributes(m_ref, m_desc));
    held.close();
    EXPECT_FALSE(EditAndWriteAttributes({}, m_desc));
    CAtrArray items = m_desc.m_atrList;
    EXPECT_FALSE(ReadAttributeValues(items, db::ObjectId()));
}

TEST_F(AtrEditTest, ItemListOfTheSampleProduct) {
    zhost::settings::setProductFolder(ztest::SourcePath("samples/product"));
    LoadAtrList(m_desc);
    zhost::settings::setProductFolder({});
    ASSERT_EQ(m_desc.m_atrList.size(), 9u);
    EXPECT_EQ(m_desc.m_atrList.front(), (CAtr{L"NAME", L"部品名", L""}));
    EXPECT_EQ(m_desc.m_atrList.back(), (CAtr{L"ITEM2", L"備考2", L""}));
}
