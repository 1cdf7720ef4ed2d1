// The layer creation dialog and the layer-table operations: names with scale suffixes, the name
// check and its message boxes, the scale arrows, what OK stores and what creating a layer makes.
// The property dialog: the record shown and handed back, and what it cannot show.
#include "../ui/ui_test_util.h"
#include "HideTestUtil.h"

#include "hide/LayerInforDlg.h"
#include "hide/SettingPropertyDlg.h"
#include "resources/resource.h"

#include "zhost/ui/lists.h"

using namespace hidetest;
namespace ui = zhost::ui;

namespace {

class LayerTableTest : public DrawingTest {};

class LayerDialogTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        ui::resetServices();
        ASSERT_TRUE(m_dlg.create());
    }
    void TearDown() override {
        m_dlg.destroy();
        DrawingTest::TearDown();
    }
    ui::EditControl& Edit(int id) { return *m_dlg.controlAs<ui::EditControl>(id); }
    ui::Button& Box(int id) { return *m_dlg.controlAs<ui::Button>(id); }
    std::wstring Name() { return Edit(IDC_LAYER_NAME).text(); }
    std::wstring Scale() { return Edit(IDC_LAYER_SCALE).text(); }
    bool Spin(bool up) {
        return m_dlg.controlAs<ui::UpDownControl>(IDC_LAYER_SCALE_SPIN)->spin(up);
    }
    const std::vector<std::wstring>& Boxes() { return (*m_backend).boxes; }

    uitest::BackendScope m_backend;
    CLayerInforDlg m_dlg;
};

} // namespace

TEST_F(LayerTableTest, CreateLayerKeepsEveryFieldOfTheDescription) {
    CLayerInfor info;
    info.m_name = L"HID-1";
    info.m_description = L"陰線";
    ASSERT_OK(Db().getLinetypeId(L"Continuous", info.m_linetype));
    info.m_colorIndex = 3;
    info.m_lineweight = 25;
    info.m_plottable = false;
    info.m_frozen = true;
    info.m_off = true;
    info.m_locked = true;
    ASSERT_TRUE(CreateLayer(info));

    db::ObjectId id;
    ASSERT_OK(Db().getLayerId(L"HID-1", id));
    db::ObjectPtr<db::LayerTableRecord> layer(id, db::OpenMode::forRead);
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->description(), L"陰線");
    EXPECT_EQ(layer->colorIndex(), 3);
    EXPECT_EQ(layer->lineWeight(), 25);
    EXPECT_EQ(layer->linetypeId(), info.m_linetype);
    EXPECT_FALSE(layer->isPlottable());
    EXPECT_TRUE(layer->isFrozen());
    EXPECT_TRUE(layer->isOff());
    EXPECT_TRUE(layer->isLocked());
}

TEST_F(LayerTableTest, ATakenNameIsNeitherCreatedNorChanged) {
    Layer(L"WALL");
    CLayerInfor info;
    info.m_name = L"wall";
    info.m_colorIndex = 1;
    EXPECT_FALSE(CreateLayer(info));
    db::ObjectId id;
    ASSERT_OK(Db().getLayerId(L"WALL", id));
    db::ObjectPtr<db::LayerTableRecord> layer(id, db::OpenMode::forRead);
    EXPECT_EQ(layer->colorIndex(), 7);
    EXPECT_EQ(layer->name(), L"WALL");
}

TEST_F(LayerTableTest, NamesComeInTableOrderWithoutStarredOnes) {
    Layer(L"WALL");
    Layer(L"*HIDDEN-WORK");
    const db::ObjectId bolt = Layer(L"BOLT");
    std::vector<std::wstring> names;
    ASSERT_TRUE(GetLayerNames(names));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"0", L"WALL", L"BOLT"}));
    EXPECT_EQ(GetLayerName(bolt), L"BOLT");
    EXPECT_EQ(GetLayerName(db::ObjectId::null()), L"");
    EXPECT_TRUE(LayerExists(L"bolt"));
    EXPECT_FALSE(LayerExists(L"BOLT2"));
}

TEST_F(LayerTableTest, WithoutADrawingNothingIsListedOrCreated) {
    zhost::ed::setWorkingDatabase(nullptr);
    std::vector<std::wstring> names{L"stale"};
    EXPECT_FALSE(GetLayerNames(names));
    EXPECT_TRUE(names.empty());
    CLayerInfor info;
    info.m_name = L"X";
    EXPECT_FALSE(CreateLayer(info));
    EXPECT_FALSE(LayerExists(L"0"));
}

TEST(LayerScale, NamesCarryTheScaleAsTypedAndLoseItAtScaleOne) {
    EXPECT_EQ(ScaledLayerName(L"BOLT", L"2", 2, true), L"BOLT-ScaleA2");
    EXPECT_EQ(ScaledLayerName(L"BOLT-ScaleA2", L"2", 2, false), L"BOLT-ScaleR2");
    EXPECT_EQ(ScaledLayerName(L"BOLT-ScaleA2", L"1", 1, false), L"BOLT");
    EXPECT_EQ(ScaledLayerName(L" BOLT -ScaleR0.5-ScaleA3", L"1.5", 1.5, true), L"BOLT-ScaleA1.5");
}

TEST(LayerScale, ArrowsStepByAHalfAndStayPositive) {
    double next = 0;
    ASSERT_TRUE(StepLayerScale(1, -1, next));
    EXPECT_EQ(next, 1.5);
    ASSERT_TRUE(StepLayerScale(1.5, 1, next));
    EXPECT_EQ(next, 1.0);
    next = 7;
    EXPECT_FALSE(StepLayerScale(0.5, 1, next));
    EXPECT_FALSE(StepLayerScale(0.5, 0, next));
    EXPECT_EQ(next, 7);
    EXPECT_EQ(FormatLayerScale(2), L"2");
    EXPECT_EQ(FormatLayerScale(2.5), L"2.5");
    EXPECT_EQ(ParseLayerScale(L"2.5x"), 2.5);
    EXPECT_EQ(ParseLayerScale(L"abc"), 0);
}

TEST_F(LayerDialogTest, OpensAtScaleOneWithoutByLayerOrByBlock) {
    EXPECT_EQ(m_dlg.title(), L"画層ダイアログ");
    EXPECT_EQ(Scale(), L"1");
    auto* color = m_dlg.controlAs<ui::ColorComboBox>(IDC_LAYER_COLOR);
    auto* weight = m_dlg.controlAs<ui::LineweightComboBox>(IDC_LAYER_LINEWEIGHT);
    auto* linetype = m_dlg.controlAs<ui::LinetypeComboBox>(IDC_LAYER_LINETYPE);
    ASSERT_TRUE(color && weight && linetype);
    EXPECT_EQ(color->currentColorIndex(), 1);
    EXPECT_EQ(weight->currentLineweight(), -3);
    EXPECT_EQ(linetype->currentLinetype(), Db().continuousLinetypeId());
    for (ui::ComboBox* box : {static_cast<ui::ComboBox*>(color), static_cast<ui::ComboBox*>(weight),
                              static_cast<ui::ComboBox*>(linetype)}) {
        EXPECT_EQ(box->findStringExact(-1, L"ByLayer"), ui::lbErr);
        EXPECT_EQ(box->findStringExact(-1, L"ByBlock"), ui::lbErr);
    }
}

TEST_F(LayerDialogTest, AbsoluteScaleBoxWritesTheScaleIntoTheName) {
    Edit(IDC_LAYER_NAME).type(L"BOLT");
    Edit(IDC_LAYER_SCALE).type(L"2");
    Box(IDC_LAYER_ABSOLUTE_SCALE).click();
    EXPECT_EQ(Name(), L"BOLT-ScaleA2");
    EXPECT_EQ(Box(IDC_LAYER_ABSOLUTE_SCALE).check(), 1);
    Box(IDC_LAYER_ABSOLUTE_SCALE).click();
    EXPECT_EQ(Name(), L"BOLT-ScaleR2");
    EXPECT_EQ(Box(IDC_LAYER_ABSOLUTE_SCALE).check(), 0);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LayerDialogTest, ClearingTheBoxAtScaleOneLeavesTheBaseName) {
    Edit(IDC_LAYER_NAME).type(L"BOLT-ScaleA2");
    Box(IDC_LAYER_ABSOLUTE_SCALE).setCheck(1);
    Box(IDC_LAYER_ABSOLUTE_SCALE).click();
    EXPECT_EQ(Name(), L"BOLT");
}

TEST_F(LayerDialogTest, BadNamesAndScalesTurnTheBoxBack) {
    Edit(IDC_LAYER_NAME).type(L"   ");
    Box(IDC_LAYER_ABSOLUTE_SCALE).click();
    EXPECT_EQ(Box(IDC_LAYER_ABSOLUTE_SCALE).check(), 0);
    Edit(IDC_LAYER_NAME).type(L"0");
    Box(IDC_LAYER_ABSOLUTE_SCALE).click();
    EXPECT_EQ(Box(IDC_LAYER_ABSOLUTE_SCALE).check(), 0);
    EXPECT_EQ(Boxes(), (std::vector<std::wstring>{kLayerNameInvalid, kLayerNameExists}));
    Edit(IDC_LAYER_NAME).type(L"BOLT");
    Edit(IDC_LAYER_SCALE).type(L"-2");
    Box(IDC_LAYER_ABSOLUTE_SCALE).click();
    EXPECT_EQ(Box(IDC_LAYER_ABSOLUTE_SCALE).check(), 0);
    EXPECT_EQ(Name(), L"BOLT");
    EXPECT_EQ(Boxes().size(), 2u);
}

TEST_F(LayerDialogTest, ScaleArrowsAddOrTakeAHalf) {
    EXPECT_TRUE(Spin(true)); // the up arrow's delta is negative
    EXPECT_EQ(Scale(), L"1.5");
    EXPECT_TRUE(Spin(false));
    EXPECT_TRUE(Spin(false));
    EXPECT_EQ(Scale(), L"0.5");
    EXPECT_FALSE(Spin(false));
    EXPECT_EQ(Scale(), L"0.5");
}

TEST_F(LayerDialogTest, OkRefusesBlankAndTakenNamesAndStoresTheRest) {
    Edit(IDC_LAYER_NAME).type(L"");
    m_dlg.onOk();
    EXPECT_FALSE(m_dlg.ended());
    Edit(IDC_LAYER_NAME).type(L"0");
    m_dlg.onOk();
    EXPECT_FALSE(m_dlg.ended());
    EXPECT_EQ(Boxes(), (std::vector<std::wstring>{kLayerNameInvalid, kLayerNameExists}));

    Edit(IDC_LAYER_NAME).type(L"  HID-1 ");
    Edit(IDC_LAYER_DESCRIPTION).type(L"隠れ線");
    Box(IDC_LAYER_OFF).click();
    Box(IDC_LAYER_NOT_PLOTTED).click();
    m_dlg.controlAs<ui::ColorComboBox>(IDC_LAYER_COLOR)->setCurrentColorIndex(5);
    m_dlg.controlAs<ui::LineweightComboBox>(IDC_LAYER_LINEWEIGHT)->setCurrentLineweight(35);
    m_dlg.onOk();
    ASSERT_TRUE(m_dlg.ended());
    EXPECT_EQ(m_dlg.endCode(), ui::idOk);
    const CLayerInfor& info = m_dlg.m_info;
    EXPECT_EQ(info.m_name, L"HID-1");
    EXPECT_EQ(info.m_description, L"隠れ線");
    EXPECT_TRUE(info.m_off);
    EXPECT_FALSE(info.m_plottable);
    EXPECT_FALSE(info.m_frozen);
    EXPECT_FALSE(info.m_locked);
    EXPECT_EQ(info.m_colorIndex, 5);
    EXPECT_EQ(info.m_lineweight, 35);
    EXPECT_EQ(info.m_linetype, Db().continuousLinetypeId());
    EXPECT_FALSE(LayerExists(L"HID-1")); // the caller creates it
}

namespace {

class PropertyDialogTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        ui::resetServices();
        Layer(L"WALL");
        Layer(L"*WORK");
        auto dashed = std::make_unique<db::LinetypeTableRecord>(L"DASHED");
        db::ObjectPtr<db::LinetypeTable> table(Db().linetypeTableId(), db::OpenMode::forWrite);
        ASSERT_OK(table->add(std::move(dashed), m_dashed));
    }
    uitest::BackendScope m_backend;
    db::ObjectId m_dashed;
};

} // namespace

TEST_F(PropertyDialogTest, ShowsTheRecordAndHandsBackTheChoice) {
    CSettingProperty p;
    p.m_hide = false;
    p.m_layer = L"wall";
    p.m_colorIndex = 5;
    p.m_lineweight = 50;
    p.m_linetype = m_dashed;
    CSettingPropertyDlg dlg(p);
    ASSERT_TRUE(dlg.create());
    auto* layers = dlg.controlAs<ui::ComboBox>(IDC_PROPERTY_LAYER);
    ASSERT_NE(layers, nullptr);
    // "<新規画層>" and the layers without a leading star, sorted.
    ASSERT_EQ(layers->count(), 3);
    EXPECT_EQ(layers->lbText(0), kNewLayerEntry);
    EXPECT_EQ(layers->windowText(), L"WALL");
    EXPECT_EQ(dlg.controlAs<ui::ColorComboBox>(IDC_PROPERTY_COLOR)->currentColorIndex(), 5);
    EXPECT_EQ(dlg.controlAs<ui::LineweightComboBox>(IDC_PROPERTY_LINEWEIGHT)->currentLineweight(),
              50);
    EXPECT_EQ(dlg.controlAs<ui::LinetypeComboBox>(IDC_PROPERTY_LINETYPE)->currentLinetype(),
              m_dashed);
    dlg.controlAs<ui::ColorComboBox>(IDC_PROPERTY_COLOR)->setCurrentColorIndex(200);
    dlg.onOk();
    ASSERT_EQ(dlg.endCode(), ui::idOk);
    EXPECT_EQ(dlg.GetProperty().m_layer, L"WALL");
    EXPECT_EQ(dlg.GetProperty().m_colorIndex, 200);
    EXPECT_EQ(dlg.GetProperty().m_linetype, m_dashed);
    EXPECT_FALSE(dlg.GetProperty().m_hide);
    dlg.destroy();
}

TEST_F(PropertyDialogTest, ALinetypeTheBoxLacksAndAVanishedLayerSelectNothing) {
    CSettingProperty p;
    p.m_layer = L"GONE";
    p.m_linetype = db::ObjectId::null();
    CSettingPropertyDlg dlg(p);
    ASSERT_TRUE(dlg.create());
    EXPECT_EQ(dlg.controlAs<ui::ComboBox>(IDC_PROPERTY_LAYER)->curSel(), ui::lbErr);
    EXPECT_EQ(dlg.controlAs<ui::LinetypeComboBox>(IDC_PROPERTY_LINETYPE)->curSel(), ui::lbErr);
    dlg.onOk();
    EXPECT_EQ(dlg.GetProperty().m_layer, L"");
    EXPECT_TRUE(dlg.GetProperty().m_linetype.isNull());
    dlg.destroy();
}
