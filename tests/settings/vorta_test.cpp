#include "zhost/settings/codepage.h"
#include "zhost/settings/product.h"
#include "zhost/settings/vorta.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace zhost::settings;

namespace {

// A product folder with a configuration folder, set for the test's lifetime.
class TestProduct {
public:
    TestProduct() {
        dir_.Write(
            "config/PartsContentsParam.ini",
            encode(L"[OUTLINE]\r\nLayer=外形\r\nColor=7\r\n[HIDE]\r\nColor=4\r\n", kCodePage932));
        std::filesystem::create_directories(dir_.path() / "PartsData" / "PartsContents");
        setProductFolder(dir_.path());
        setUserFolder(dir_.path() / "user");
    }
    ~TestProduct() {
        setProductFolder({});
        setUserFolder({});
    }
    const ztest::TempFolder& dir() const { return dir_; }

private:
    ztest::TempFolder dir_;
};

} // namespace

TEST(SettingsLibrary, OpensAProductIniFileTheWayTheAddOnDoes) {
    TestProduct product;
    zhost_vpm_Product* handle = zhost_vpm_CurrentProduct();
    ASSERT_NE(zhost_vpm_ProductAvailable(handle), 0);
    zhost_vpm_Settings* settings = zhost_vpm_NewSettings();
    ASSERT_NE(zhost_vpm_LoadSettings(handle, settings), 0);
    ASSERT_NE(zhost_vpm_SettingsValid(settings), 0);
    zhost_vpm_Folder* folder = zhost_vpm_NewFolder();
    ASSERT_NE(zhost_vpm_ConfigFolder(settings, folder), 0);
    ASSERT_NE(zhost_vpm_FolderUsable(folder), 0);
    zhost_vpm_IniReader* reader = zhost_vpm_NewIniReader();
    ASSERT_NE(zhost_vpm_IniOpen(reader, folder, L"partscontentsparam.INI"), 0);

    ASSERT_NE(zhost_vpm_IniSelectSection(reader, L"OUTLINE"), 0);
    wchar_t* layer = nullptr;
    ASSERT_NE(zhost_vpm_IniGetString(reader, L"Layer", &layer), 0);
    EXPECT_STREQ(layer, L"外形");
    zhost_vpm_FreeString(layer);
    int color = 0;
    EXPECT_NE(zhost_vpm_IniGetIntA(reader, "Color", &color), 0);
    EXPECT_EQ(color, 7);
    EXPECT_EQ(zhost_vpm_IniKeyCount(reader), 2);
    wchar_t *key = nullptr, *value = nullptr;
    ASSERT_NE(zhost_vpm_IniKeyAt(reader, 1, &key, &value), 0);
    EXPECT_STREQ(key, L"Color");
    EXPECT_STREQ(value, L"7");
    zhost_vpm_FreeString(key);
    zhost_vpm_FreeString(value);
    EXPECT_EQ(zhost_vpm_IniKeyAt(reader, 2, &key, &value), 0);
    int kept = 99;
    EXPECT_EQ(zhost_vpm_IniSelectSection(reader, L"THREAD"), 0);
    EXPECT_EQ(zhost_vpm_IniGetInt(reader, L"Color", &kept), 0);
    EXPECT_EQ(kept, 99); // a failed getter leaves the caller's default

    zhost_vpm_DeleteIniReader(reader);
    zhost_vpm_DeleteFolder(folder);
    zhost_vpm_DeleteSettings(settings);
}

TEST(SettingsLibrary, PathTextNeverCutsAPath) {
    TestProduct product;
    zhost_vpm_Path* path = zhost_vpm_NewPath();
    ASSERT_NE(zhost_vpm_PartsDataRoot(zhost_vpm_CurrentProduct(), path), 0);
    EXPECT_NE(zhost_vpm_PathUsable(path), 0);
    wchar_t buffer[260];
    const int length = zhost_vpm_PathText(path, buffer, 260);
    EXPECT_EQ(std::wstring(buffer), (product.dir().path() / "PartsData").wstring());
    EXPECT_EQ(length, int(std::wcslen(buffer)));
    wchar_t small[8] = L"xxxxxxx";
    EXPECT_EQ(zhost_vpm_PathText(path, small, 8), 0);
    EXPECT_EQ(small[0], L'\0');
    zhost_vpm_DeletePath(path);
}

TEST(SettingsLibrary, AMissingProductIsNotAvailable) {
    setProductFolder("/no/such/product");
    EXPECT_EQ(zhost_vpm_ProductAvailable(zhost_vpm_CurrentProduct()), 0);
    zhost_vpm_Settings* settings = zhost_vpm_NewSettings();
    EXPECT_EQ(zhost_vpm_LoadSettings(zhost_vpm_CurrentProduct(), settings), 0);
    EXPECT_EQ(zhost_vpm_SettingsValid(settings), 0);
    zhost_vpm_DeleteSettings(settings);
    setProductFolder({});
}

TEST(SettingsLibrary, TheUserStoreRemembersBetweenObjects) {
    TestProduct product;
    zhost_vpm_UserStore* store = zhost_vpm_NewUserStore();
    EXPECT_EQ(zhost_vpm_UserSelectSection(store, L"ZORMA_CONT_TempValue"), 0);
    EXPECT_NE(zhost_vpm_UserSetString(store, L"Angle", L"30"), 0);
    EXPECT_NE(zhost_vpm_UserSetIntA(store, "X", 12), 0);
    zhost_vpm_DeleteUserStore(store);

    store = zhost_vpm_NewUserStore();
    ASSERT_NE(zhost_vpm_UserSelectSection(store, L"ZORMA_CONT_TempValue"), 0);
    wchar_t* angle = nullptr;
    ASSERT_NE(zhost_vpm_UserGetString(store, L"Angle", &angle), 0);
    EXPECT_STREQ(angle, L"30");
    zhost_vpm_FreeString(angle);
    int x = 0;
    EXPECT_NE(zhost_vpm_UserGetInt(store, L"X", &x), 0);
    EXPECT_EQ(x, 12);
    zhost_vpm_DeleteUserStore(store);
}

TEST(SettingsLibrary, PreviewsAndWindowKeepingGoThroughRegisteredHooks) {
    const zhost_vui_Rect rect{0, 0, 100, 80};
    EXPECT_EQ(zhost_vui_DrawPreview(L"a.dwg", nullptr, &rect, 2, 3), 0);
    EXPECT_EQ(zhost_vui_KeepWindowOnScreen(nullptr, 1), 0);
    std::wstring drawn;
    setPreviewDrawer(
        [&](std::wstring_view file, void*, const zhost_vui_Rect& r, int mode, int flags) {
            drawn = std::wstring(file) + L"," + std::to_wstring(r.right) + L"," +
                    std::to_wstring(mode) + L"," + std::to_wstring(flags);
            return true;
        });
    setWindowKeeper([](void*, int flag) { return flag == 1; });
    EXPECT_NE(zhost_vui_DrawPreview(L"a.dwg", nullptr, &rect, 2, 15), 0);
    EXPECT_EQ(drawn, L"a.dwg,100,2,15");
    EXPECT_NE(zhost_vui_KeepWindowOnScreen(nullptr, 1), 0);
    setPreviewDrawer({});
    setWindowKeeper({});
    EXPECT_EQ(zhost_vui_DrawPreview(L"a.dwg", nullptr, &rect, 2, 3), 0);
}

TEST(ProductLocation, SetterThenEnvironmentThenBundled) {
    setProductFolder({});
    unsetenv("ZORMA_PRODUCT_DIR");
    EXPECT_EQ(productFolder(), bundledProductFolder());
    setenv("ZORMA_PRODUCT_DIR", "/env/product", 1);
    EXPECT_EQ(productFolder(), std::filesystem::path("/env/product"));
    setProductFolder("/set/product");
    EXPECT_EQ(productFolder(), std::filesystem::path("/set/product"));
    setProductFolder({});
    unsetenv("ZORMA_PRODUCT_DIR");
    EXPECT_EQ(Product(std::filesystem::path("/p")).configFolder(),
              std::filesystem::path("/p/config"));
}

TEST(UserLocation, SetterThenXdgThenHome) {
    const char* oldHome = std::getenv("HOME");
    const std::string home = oldHome ? oldHome : "";
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string xdg = oldXdg ? oldXdg : "";
    setUserFolder({});
    setenv("XDG_CONFIG_HOME", "/xdg", 1);
    EXPECT_EQ(userFolder(), std::filesystem::path("/xdg/zorma"));
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(userFolder(), std::filesystem::path("/home/someone/.config/zorma"));
    setUserFolder("/given");
    EXPECT_EQ(userFolder(), std::filesystem::path("/given"));
    setUserFolder({});
    if (oldHome)
        setenv("HOME", home.c_str(), 1);
    if (oldXdg)
        setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
}

TEST(SettingsLibrary, ReadsTheBundledSampleProduct) {
    setProductFolder({});
    unsetenv("ZORMA_PRODUCT_DIR");
    zhost_vpm_Settings* settings = zhost_vpm_NewSettings();
    zhost_vpm_Folder* folder = zhost_vpm_NewFolder();
    zhost_vpm_IniReader* reader = zhost_vpm_NewIniReader();
    ASSERT_NE(zhost_vpm_LoadSettings(zhost_vpm_CurrentProduct(), settings), 0);
    ASSERT_NE(zhost_vpm_ConfigFolder(settings, folder), 0);
    ASSERT_NE(zhost_vpm_IniOpen(reader, folder, L"PartsContentsParam.ini"), 0);
    ASSERT_NE(zhost_vpm_IniSelectSection(reader, L"OUTLINE"), 0);
    wchar_t* layer = nullptr;
    ASSERT_NE(zhost_vpm_IniGetString(reader, L"Layer", &layer), 0);
    EXPECT_GT(std::wcslen(layer), 0u);
    zhost_vpm_FreeString(layer);
    zhost_vpm_Path* root = zhost_vpm_NewPath();
    ASSERT_NE(zhost_vpm_PartsDataRoot(zhost_vpm_CurrentProduct(), root), 0);
    EXPECT_NE(zhost_vpm_PathUsable(root), 0);
    zhost_vpm_DeletePath(root);
    zhost_vpm_DeleteIniReader(reader);
    zhost_vpm_DeleteFolder(folder);
    zhost_vpm_DeleteSettings(settings);
}
