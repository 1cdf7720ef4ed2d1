// The plug-in loaded by the host: its commands on the command stack, its answers to the
// application messages, and the entry points by ordinal.
#include "PluginTestUtil.h"

#include "support/status.h"
#include "support/temp_folder.h"

#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/editor/input.h"
#include "zhost/editor/selection.h"
#include "zhost/editor/session.h"
#include "zhost/rx/commands.h"
#include "zhost/rx/loader.h"
#include "zhost/settings/product.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace rx = zhost::rx;
namespace cmd = zhost::rx::cmd;

namespace {

constexpr const wchar_t* kGroup = L"TRVCommand";

class LoadedPlugin : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ed::resetSession();
        std::wstring message;
        ASSERT_OK(m_module.load(PluginPath(GetParam()), GetParam(), message))
            << std::string(message.begin(), message.end());
    }
    void TearDown() override {
        m_module.unload();
        ed::setWorkingDatabase(nullptr);
        ed::setInputSource(nullptr);
    }

    template <class Fn> Fn Export(const char* name) {
        void* h = dlopen(PluginPath(GetParam()).c_str(), RTLD_NOW | RTLD_NOLOAD);
        Fn fn = reinterpret_cast<Fn>(dlsym(h, name));
        dlclose(h);
        return fn;
    }

    rx::AddonModule m_module;
};

struct ExpectedCommand {
    const wchar_t* name;
    int flags;
};

const ExpectedCommand kExpected[] = {
    {L"ZORMA_CONT", cmd::kTransparent | cmd::kUsePickSet},
    {L"ZORMA_CONT_EDIT", 0x800007},
    {L"ZORMA_GEOMCALC", cmd::kModal},
    {L"ZORMA_HIDE", 3},
    {L"ZORMA_HIDE_RESTORE", 3},
    {L"KORU_ATTACH_PC_XDATA", cmd::kUsePickSet},
};

} // namespace

TEST_P(LoadedPlugin, RegistersTheSixCommandsInTableOrder) {
    const std::vector<rx::CommandEntry> entries = rx::commandStack().commands(kGroup);
    ASSERT_EQ(entries.size(), std::size(kExpected));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].globalName, kExpected[i].name);
        EXPECT_EQ(entries[i].localName, kExpected[i].name);
        EXPECT_EQ(entries[i].group, kGroup);
        EXPECT_EQ(entries[i].flags, kExpected[i].flags);
        EXPECT_NE(entries[i].function, nullptr);
        EXPECT_EQ(entries[i].uiContext, nullptr);
        EXPECT_EQ(entries[i].functionCode, -1);
        EXPECT_NE(entries[i].resourceHandle, nullptr);
    }
}

TEST_P(LoadedPlugin, UnloadRemovesEveryCommand) {
    m_module.unload();
    EXPECT_TRUE(rx::commandStack().commands(kGroup).empty());
    for (const ExpectedCommand& c : kExpected)
        EXPECT_EQ(rx::commandStack().lookup(c.name), nullptr);
}

TEST_P(LoadedPlugin, UnloadMessageThenInitMessageRegistersAgain) {
    EXPECT_EQ(m_module.sendMessage(rx::kUnloadAppMsg, nullptr), rx::kRetOK);
    EXPECT_TRUE(rx::commandStack().commands(kGroup).empty());
    EXPECT_EQ(m_module.sendMessage(rx::kInitAppMsg, nullptr), rx::kRetOK);
    EXPECT_EQ(rx::commandStack().commands(kGroup).size(), std::size(kExpected));
}

TEST_P(LoadedPlugin, InitialiseUnlocksAndDeclaresMdiAwareWithThePacket) {
    // The dynamic linker remembers packets by address: one that no other test uses.
    static rx::AppPacket packets[2];
    rx::AppPacket& packet = packets[GetParam() == 23 ? 1 : 0];
    EXPECT_TRUE(rx::dynamicLinker().isApplicationLocked(&packet));
    EXPECT_FALSE(rx::dynamicLinker().isAppMDIAware(&packet));
    EXPECT_EQ(m_module.sendMessage(rx::kUnloadAppMsg, nullptr), rx::kRetOK);
    EXPECT_EQ(m_module.sendMessage(rx::kInitAppMsg, &packet), rx::kRetOK);
    EXPECT_FALSE(rx::dynamicLinker().isApplicationLocked(&packet));
    EXPECT_TRUE(rx::dynamicLinker().isAppMDIAware(&packet));
}

TEST_P(LoadedPlugin, AnswersEveryOtherMessageWithZeroAndChangesNothing) {
    const auto before = rx::commandStack().commands(kGroup);
    for (int code = 3; code <= 40; ++code)
        EXPECT_EQ(m_module.sendMessage(static_cast<rx::AppMsgCode>(code), nullptr), rx::kRetOK)
            << code;
    EXPECT_EQ(m_module.sendMessage(rx::kNullMsg, nullptr), rx::kRetOK);
    EXPECT_EQ(rx::commandStack().commands(kGroup).size(), before.size());
}

TEST_P(LoadedPlugin, VortaEntryPointsDoNothingInAnyOrder) {
    auto init = Export<void (*)()>("VortaInitApplication");
    auto unload = Export<void (*)()>("VortaUnloadApplication");
    ASSERT_NE(init, nullptr);
    ASSERT_NE(unload, nullptr);
    const std::size_t before = rx::commandStack().commands(kGroup).size();
    unload();
    unload();
    init();
    unload();
    init();
    init();
    EXPECT_EQ(rx::commandStack().commands(kGroup).size(), before);
    EXPECT_TRUE(m_module.loaded());
}

// Ordinal 1002 runs the body of ZORMA_CONT: with no parts library both say so the same way.
TEST_P(LoadedPlugin, Ordinal1002RunsThePartContentsBody) {
    ztest::TempFolder product;
    product.MakeFolder("config");
    zhost::settings::setProductFolder(product.path());
    db::Database drawing;
    ed::setWorkingDatabase(&drawing);
    auto input = ed::makeQueue({});
    ed::setInputSource(input.get());
    std::wstring byOrdinal, typed;
    {
        TranscriptCapture out;
        EXPECT_OK(m_module.callOrdinal(1002));
        byOrdinal = out.Text();
    }
    {
        TranscriptCapture out;
        ed::runCommand(L"ZORMA_CONT");
        typed = out.Text();
    }
    zhost::settings::setProductFolder({});
    EXPECT_NE(byOrdinal.find(L"\nnot found [PartsContentsK.txt]."), std::wstring::npos);
    EXPECT_NE(typed.find(L"\nnot found [PartsContentsK.txt]."), std::wstring::npos);
}

// Ordinal 1003 and the typed command run one body: both mark the pre-selected circle, with the
// same messages.
TEST_P(LoadedPlugin, Ordinal1003RunsTheHoleOutlineBody) {
    db::Database drawing;
    ed::setWorkingDatabase(&drawing);
    auto input = ed::makeQueue({});
    ed::setInputSource(input.get());

    auto markCircle = [&](double x, auto run) {
        db::ObjectId id;
        EXPECT_OK(drawing.appendToModelSpace(
            std::make_unique<db::Circle>(zhost::geom::Point3d(x, 0), 5.0), id));
        ed::SelectionSet pick;
        pick.add(id);
        ed::setPickFirst(&pick);
        TranscriptCapture out;
        run();
        db::ObjectPtr<db::Entity> circle(id, db::OpenMode::forRead);
        EXPECT_TRUE(circle->hasXData(L"ZORMA-PARTS-HOLE"));
        return out.Text();
    };

    const std::wstring byOrdinal = markCircle(0, [&] { EXPECT_OK(m_module.callOrdinal(1003)); });
    const std::wstring typed = markCircle(
        50, [&] { EXPECT_EQ(ed::runCommand(L"KORU_ATTACH_PC_XDATA"), ed::Result::normal); });
    EXPECT_NE(byOrdinal.find(L"\n拡張データを付与しました。通し番号:0"), std::wstring::npos);
    EXPECT_NE(typed.find(L"\n拡張データを付与しました。通し番号:1"), std::wstring::npos);
    EXPECT_NE(byOrdinal.find(L"\n閉じられた図形を確認しました。"), std::wstring::npos);
    EXPECT_NE(typed.find(L"\n閉じられた図形を確認しました。"), std::wstring::npos);
}

// Ordinals 1000 and 1001 and the typed commands run the hidden-line bodies: each asks its first
// question, and an input that has ended cancels it.
TEST_P(LoadedPlugin, Ordinals1000And1001RunTheHiddenLineBodies) {
    ztest::TempFolder user; // the hide command writes its mode back on cancel
    zhost::settings::setUserFolder(user.path());
    db::Database drawing;
    ed::setWorkingDatabase(&drawing);
    const struct {
        int ordinal;
        const wchar_t* command;
        const wchar_t* prompt;
    } kBodies[] = {
        {1000, L"ZORMA_HIDE", L"\n製図要素を指示 または[非表示化(A)/プロパティ変更(B)]<非表示化>:"},
        {1001, L"ZORMA_HIDE_RESTORE", L"\n陰線処理された製図要素を選択してください:"},
    };
    // Each run on an input of its own that has nothing to give.
    auto run = [](auto call) {
        ed::resetSession();
        auto input = ed::makeQueue({});
        ed::setInputSource(input.get());
        TranscriptCapture out;
        call();
        ed::setInputSource(nullptr);
        return out.Text();
    };
    for (const auto& body : kBodies) {
        const std::wstring byOrdinal = run([&] { EXPECT_OK(m_module.callOrdinal(body.ordinal)); });
        const std::wstring typed = run([&] { ed::runCommand(body.command); });
        EXPECT_NE(byOrdinal.find(body.prompt), std::wstring::npos) << body.ordinal;
        EXPECT_NE(typed.find(body.prompt), std::wstring::npos) << body.ordinal;
    }
    zhost::settings::setUserFolder({});
}

TEST_P(LoadedPlugin, OrdinalsOutsideTheTableAreNotExported) {
    EXPECT_EQ(m_module.callOrdinal(1004), zhost::Status::keyNotFound);
    EXPECT_EQ(m_module.callOrdinal(999), zhost::Status::keyNotFound);
}

INSTANTIATE_TEST_SUITE_P(BothBuilds, LoadedPlugin, ::testing::Values(24, 23),
                         [](const auto& info) { return "Api" + std::to_string(info.param); });

TEST(PluginLoading, HostRefusesABuildForTheOtherApi) {
    rx::AddonModule module;
    std::wstring message;
    EXPECT_NE(module.load(PluginPath(23), 24, message), zhost::Status::ok);
    EXPECT_FALSE(module.loaded());
    EXPECT_TRUE(rx::commandStack().commands(kGroup).empty());
}
