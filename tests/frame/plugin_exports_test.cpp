// The library as a loader of the product family sees it: its exports, looked up by name.
#include "PluginTestUtil.h"

#include "zhost/rx/app.h"

#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>

namespace rx = zhost::rx;

namespace {

// A plain dlopen of one build, closed at scope end.
class RawPlugin {
public:
    explicit RawPlugin(int api)
        : m_handle(dlopen(PluginPath(api).c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~RawPlugin() {
        if (m_handle != nullptr)
            dlclose(m_handle);
    }
    RawPlugin(const RawPlugin&) = delete;
    RawPlugin& operator=(const RawPlugin&) = delete;

    void* Handle() const { return m_handle; }
    template <class Fn> Fn Get(const char* name) const {
        return reinterpret_cast<Fn>(dlsym(m_handle, name));
    }

private:
    void* m_handle;
};

struct Version {
    int v[4] = {-1, -1, -1, -1};
};

} // namespace

TEST(PluginVersion, Api24ReportsBothVersionsOfItsInterface) {
    RawPlugin plugin(24);
    ASSERT_NE(plugin.Handle(), nullptr) << dlerror();
    auto acrx = plugin.Get<rx::GetApiVersionFn>(rx::kGetApiVersionName);
    auto odrx = plugin.Get<rx::OdrxGetApiVersionFn>(rx::kOdrxGetApiVersionName);
    ASSERT_NE(acrx, nullptr);
    ASSERT_NE(odrx, nullptr);
    Version a, b;
    acrx(&a.v[0], &a.v[1], &a.v[2], &a.v[3]);
    EXPECT_EQ(odrx(&b.v[0], &b.v[1], &b.v[2], &b.v[3]), 0);
    EXPECT_EQ((std::vector<int>{a.v, a.v + 4}), (std::vector<int>{24, 1, 5, 0}));
    EXPECT_EQ((std::vector<int>{b.v, b.v + 4}), (std::vector<int>{24, 2, 0, 0}));
}

TEST(PluginVersion, Api23AnswersBothNamesWithOneFunction) {
    RawPlugin plugin(23);
    ASSERT_NE(plugin.Handle(), nullptr) << dlerror();
    void* acrx = dlsym(plugin.Handle(), rx::kGetApiVersionName);
    void* odrx = dlsym(plugin.Handle(), rx::kOdrxGetApiVersionName);
    ASSERT_NE(acrx, nullptr);
    EXPECT_EQ(acrx, odrx);
    Version a;
    EXPECT_EQ(reinterpret_cast<rx::OdrxGetApiVersionFn>(odrx)(&a.v[0], &a.v[1], &a.v[2], &a.v[3]),
              0);
    EXPECT_EQ((std::vector<int>{a.v, a.v + 4}), (std::vector<int>{23, 2, 0, 0}));
}

TEST(PluginExports, OnlyTheEntryPointsAreVisible) {
    for (int api : {24, 23}) {
        RawPlugin plugin(api);
        ASSERT_NE(plugin.Handle(), nullptr) << dlerror();
        for (const char* name :
             {"acrxEntryPoint", "acrxGetApiVersion", "odrxGetAPIVersion", "odrxCreateModuleObject",
              "VortaInitApplication", "VortaUnloadApplication", "zorma_ordinal_1000",
              "zorma_ordinal_1001", "zorma_ordinal_1002", "zorma_ordinal_1003"})
            EXPECT_NE(dlsym(plugin.Handle(), name), nullptr) << name << " in API " << api;
        // The command bodies and helpers stay inside the library.
        for (const char* name : {"_Z21KoruAttachPcXdataMainv", "_Z13ZormaHideMainv",
                                 "_Z13GetJigTestAppv", "zorma_ordinal_1004"})
            EXPECT_EQ(dlsym(plugin.Handle(), name), nullptr) << name << " in API " << api;
    }
}

TEST(PluginExports, VortaEntryPointsAreOneFunction) {
    RawPlugin plugin(24);
    ASSERT_NE(plugin.Handle(), nullptr) << dlerror();
    EXPECT_EQ(dlsym(plugin.Handle(), "VortaInitApplication"),
              dlsym(plugin.Handle(), "VortaUnloadApplication"));
}

TEST(ModuleObject, SecondCreateReturnsTheSameObjectAndLeavesTheHandle) {
    RawPlugin plugin(24);
    ASSERT_NE(plugin.Handle(), nullptr) << dlerror();
    auto create = plugin.Get<rx::CreateModuleObjectFn>(rx::kCreateModuleObjectName);
    ASSERT_NE(create, nullptr);

    void* first = plugin.Handle();
    rx::ModuleObject* module = create(&first);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(module->moduleHandle(), plugin.Handle());

    void* second = plugin.Handle();
    EXPECT_EQ(create(&second), module);
    EXPECT_EQ(second, plugin.Handle());
    module->deleteThis();
}

TEST(ModuleObject, DeleteThisLetsTheNextCreateMakeANewObject) {
    RawPlugin plugin(24);
    ASSERT_NE(plugin.Handle(), nullptr) << dlerror();
    auto create = plugin.Get<rx::CreateModuleObjectFn>(rx::kCreateModuleObjectName);
    int tokenA = 0, tokenB = 0;
    void* slot = &tokenA;
    rx::ModuleObject* module = create(&slot);
    module->deleteThis();

    slot = &tokenB;
    rx::ModuleObject* fresh = create(&slot);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->moduleHandle(), &tokenB);
    EXPECT_EQ(slot, nullptr);
    fresh->deleteThis();
}

TEST(ModuleObject, CountsReferencesAndNeverGoesBelowZero) {
    RawPlugin plugin(24);
    auto create = plugin.Get<rx::CreateModuleObjectFn>(rx::kCreateModuleObjectName);
    void* slot = nullptr;
    rx::ModuleObject* module = create(&slot);
    ASSERT_NE(module, nullptr);
    const long start = module->numRefs();
    EXPECT_EQ(start, 1);
    module->addRef();
    module->addRef();
    EXPECT_EQ(module->numRefs(), start + 2);
    for (int i = 0; i < 5; ++i)
        module->release();
    EXPECT_EQ(module->numRefs(), 0);
    // Releasing the last reference does not delete: the same object is still handed out.
    EXPECT_EQ(create(&slot), module);
    module->deleteThis();
}

TEST(ModuleObject, ReportsTheLibraryFileAndTellsTheHostOnLoadAndUnload) {
    RawPlugin plugin(23);
    auto create = plugin.Get<rx::CreateModuleObjectFn>(rx::kCreateModuleObjectName);
    void* slot = plugin.Handle();
    rx::ModuleObject* module = create(&slot);
    ASSERT_NE(module, nullptr);

    const std::wstring path = module->modulePath();
    ASSERT_FALSE(path.empty());
    EXPECT_LE(path.size(), 260u);
    EXPECT_TRUE(std::filesystem::path(path).is_absolute());
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(path), PluginPath(23)));

    module->onLoad();
    auto loaded = rx::loadedModulePaths();
    EXPECT_NE(std::find(loaded.begin(), loaded.end(), path), loaded.end());
    module->onUnload();
    loaded = rx::loadedModulePaths();
    EXPECT_EQ(std::find(loaded.begin(), loaded.end(), path), loaded.end());
    module->deleteThis();
}
