#include "library/LayerSettings.h"
#include "library/LibraryPaths.h"

#include "LibraryTestUtil.h"
#include "frame/SettingsLib.h"

#include "zhost/settings/product.h"

#include <gtest/gtest.h>

using libtest::WriteBytes;
using ztest::TempFolder;

namespace {

// Points the host at a product folder for one test and forgets the module's kept paths.
class ProductScope {
public:
    explicit ProductScope(const std::filesystem::path& folder) {
        zhost::settings::setProductFolder(folder);
        zhost::settings::setUserFolder(user_.path());
        ResetLibraryPaths();
    }
    ~ProductScope() {
        zhost::settings::setProductFolder({});
        zhost::settings::setUserFolder({});
        ResetLibraryPaths();
    }

private:
    ztest::TempFolder user_;
};

std::filesystem::path Fixture(const char* name) {
    return libtest::FixtureDir() + "/" + name;
}

bool EndsWith(const std::wstring& s, const std::wstring& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

TEST(LibraryPaths, CatalogueInTheRootKeepsFoldersUnderPartsContents) {
    ProductScope scope(Fixture("root_catalogue"));
    CLibraryPaths paths;
    ASSERT_TRUE(GetLibraryPaths(paths));
    EXPECT_TRUE(EndsWith(paths.m_catalogueFile, L"PartsData\\PartsContentsK.txt"));
    EXPECT_TRUE(EndsWith(paths.m_nominalSizeFile, L"PartsData\\PartsContentsY.txt"));
    EXPECT_TRUE(EndsWith(paths.m_symbolsFolder, L"PartsData\\PartsContents\\Symbols\\"));
    EXPECT_TRUE(EndsWith(paths.m_dlgFolder, L"PartsData\\PartsContents\\Dlg\\"));
    EXPECT_TRUE(EndsWith(paths.m_thumbsFolder, L"PartsData\\PartsContents\\Thumbs\\"));
    EXPECT_TRUE(EndsWith(paths.m_dataFolder, L"PartsData\\PartsContents\\Data\\"));
    EXPECT_NE(paths.m_root.back(), L'\\');
}

TEST(LibraryPaths, CatalogueUnderPartsContents) {
    ProductScope scope(Fixture("nested_catalogue"));
    CLibraryPaths paths;
    ASSERT_TRUE(GetLibraryPaths(paths));
    EXPECT_TRUE(EndsWith(paths.m_catalogueFile, L"PartsData\\PartsContents\\PartsContentsK.txt"));
    EXPECT_TRUE(paths.m_nominalSizeFile.empty());
    std::wstring file;
    EXPECT_FALSE(GetNominalSizeFile(file));
}

TEST(LibraryPaths, TrailingSeparatorOfTheRootIsRemoved) {
    CLibraryPaths paths;
    ASSERT_TRUE(MakeLibraryPaths(L"C:\\Lib\\", paths));
    EXPECT_EQ(paths.m_root, L"C:\\Lib");
    EXPECT_EQ(paths.m_symbolsFolder, L"C:\\Lib\\PartsContents\\Symbols\\");
    EXPECT_FALSE(MakeLibraryPaths(L"\\", paths));
}

TEST(LibraryPaths, NotKeptUntilTheLibraryIsFoundThenKept) {
    ztest::TempFolder product;
    ProductScope scope(product.path());
    CLibraryPaths paths;
    EXPECT_FALSE(GetLibraryPaths(paths));
    EXPECT_TRUE(paths.m_catalogueFile.empty());
    // Installed after the first failed run: the next run finds it.
    WriteBytes(product.path() / "PartsData" / "PartsContentsK.txt", "G\r\n");
    ASSERT_TRUE(GetLibraryPaths(paths));
    // Once found the paths stay for the life of the module, also when the product changes.
    zhost::settings::setProductFolder(Fixture("nested_catalogue"));
    CLibraryPaths again;
    ASSERT_TRUE(GetLibraryPaths(again));
    EXPECT_EQ(again.m_catalogueFile, paths.m_catalogueFile);
}

TEST(LibraryPaths, NoProductNoPaths) {
    ztest::TempFolder empty;
    ProductScope scope(empty.path() / "missing");
    CLibraryPaths paths;
    EXPECT_FALSE(GetLibraryPaths(paths));
    std::wstring root;
    EXPECT_FALSE(GetPartsDataRoot(root));
}

TEST(LayerSettings, DefaultsWithoutFile) {
    ztest::TempFolder product;
    std::filesystem::create_directories(product.path() / "config");
    ProductScope scope(product.path());
    CLayerSettings s;
    EXPECT_FALSE(ReadLayerSettings(s));
    EXPECT_EQ(s.Get(kLayerOutline).m_layer, L"AM_0");
    EXPECT_EQ(s.Get(kLayerOutline).m_lineWeight, 50);
    EXPECT_EQ(s.Get(kLayerCenter).m_lineType, L"Center");
    EXPECT_EQ(s.Get(kLayerHide).m_lineType, L"Dashed");
    EXPECT_EQ(s.Get(kLayerThread).m_layer, L"AM_4");
    EXPECT_EQ(s.Get(kLayerThrHide).m_lineType, L"Phantom");
    EXPECT_EQ(s.Get(kLayerThrHide).m_color, 4);
    EXPECT_EQ(s.m_projectionLength, L"2.5");
}

TEST(LayerSettings, AllSectionsRead) {
    ProductScope scope(Fixture("root_catalogue"));
    CLayerSettings s;
    ASSERT_TRUE(ReadLayerSettings(s));
    EXPECT_EQ(s.Get(kLayerOutline).m_layer, L"PART_OUT");
    EXPECT_EQ(s.Get(kLayerOutline).m_color, 3);
    EXPECT_EQ(s.Get(kLayerOutline).m_lineWeight, 35);
    EXPECT_EQ(s.Get(kLayerHide).m_lineType, L"HIDDEN2");
    EXPECT_EQ(s.Get(kLayerThrHide).m_layer, L"PART_THH");
    EXPECT_EQ(s.Get(kLayerThrHide).m_color, 8);
    EXPECT_EQ(s.m_projectionLength, L"3.0");
}

TEST(LayerSettings, MissingHideLeavesHideThreadAndThrHideAtDefaults) {
    ProductScope scope(Fixture("nested_catalogue"));
    CLayerSettings s;
    ASSERT_TRUE(ReadLayerSettings(s));
    EXPECT_EQ(s.Get(kLayerOutline).m_layer, L"N_OUT");
    EXPECT_EQ(s.Get(kLayerOutline).m_color, 1);
    EXPECT_EQ(s.Get(kLayerOutline).m_lineType, L"Continuous"); // missing key: default
    EXPECT_EQ(s.Get(kLayerCenter).m_layer, L"N_CEN");
    EXPECT_EQ(s.Get(kLayerHide).m_layer, L"AM_3");
    EXPECT_EQ(s.Get(kLayerThread).m_layer, L"AM_4"); // its section exists but is not read
    EXPECT_EQ(s.Get(kLayerThread).m_color, 4);
    EXPECT_EQ(s.Get(kLayerThrHide).m_layer, L"AM_3");
    EXPECT_EQ(s.m_projectionLength, L"2.5"); // an empty value keeps the default
}

TEST(ProductIni, ChainOpensFileOfTheConfigurationFolder) {
    ProductScope scope(Fixture("root_catalogue"));
    CProductIni ini(L"partscontentsparam.INI");
    ASSERT_TRUE(ini.IsOpen());
    ASSERT_TRUE(ini.SelectSection(L"other"));
    ASSERT_EQ(ini.GetKeyCount(), 1);
    std::wstring key, value;
    ASSERT_TRUE(ini.GetKeyAt(0, key, value));
    EXPECT_EQ(key, L"ProjectionLength");
    EXPECT_EQ(value, L"3.0");
    EXPECT_FALSE(ini.GetKeyAt(1, key, value));
    EXPECT_FALSE(ini.SelectSection(L"NOPE"));
    std::wstring folder;
    EXPECT_TRUE(GetConfigFolder(folder));
}

TEST(ProductIni, MissingFileOrProductLeavesItClosed) {
    {
        ProductScope scope(Fixture("root_catalogue"));
        CProductIni ini(L"Zorma_Zuwaku.ini");
        EXPECT_FALSE(ini.IsOpen());
        EXPECT_FALSE(ini.SelectSection(L"OTHER"));
        int v = 5;
        EXPECT_FALSE(ini.GetInt(L"x", v));
        EXPECT_EQ(v, 5);
        EXPECT_EQ(ini.GetKeyCount(), 0);
    }
    ztest::TempFolder nowhere;
    ProductScope scope(nowhere.path() / "missing");
    CProductIni ini(L"PartsContentsParam.ini");
    EXPECT_FALSE(ini.IsOpen());
    std::wstring folder;
    EXPECT_FALSE(GetConfigFolder(folder));
}

TEST(UserStore, ValuesLastFromOneStoreToTheNext) {
    ProductScope scope(Fixture("root_catalogue"));
    {
        CUserStore store;
        ASSERT_TRUE(store.IsOpen());
        EXPECT_FALSE(store.SelectSection(L"ZORMA_CONT_TempValue"));
        EXPECT_TRUE(store.SetInt(L"FreeLen", 1));
        EXPECT_TRUE(store.SetString(L"Length", L"25.0"));
        EXPECT_TRUE(store.SetInt("X", 120));
    }
    CUserStore store;
    ASSERT_TRUE(store.SelectSection(L"zorma_cont_tempvalue"));
    int freeLen = 0, x = 0;
    std::wstring length;
    EXPECT_TRUE(store.GetInt(L"FreeLen", freeLen));
    EXPECT_EQ(freeLen, 1);
    EXPECT_TRUE(store.GetString(L"Length", length));
    EXPECT_EQ(length, L"25.0");
    EXPECT_TRUE(store.GetInt("X", x));
    EXPECT_EQ(x, 120);
    EXPECT_FALSE(store.GetString(L"Angle", length));
    EXPECT_EQ(length, L"25.0");
}
