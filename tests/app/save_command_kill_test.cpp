// QSAVE and SAVEAS killed at any moment leave the drawing that was there or the one being saved,
// whole, and never a stray temporary file once the next save has cleaned up.
#include "support/drawing.h"
#include "support/session.h"
#include "support/temp_folder.h"

#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"
#include "zhost/editor/document.h"
#include "zhost/editor/editor.h"
#include "zhost/settings/atomicfile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace zhost;

namespace {

class SaveCommandKill : public ztest::TempFolderTest {};

// Saves with the command over and over, the drawing alternating between the state it was read
// in and one line more, until killed. Never returns.
[[noreturn]] void saveForever(const fs::path& file, bool saveAs) {
    ed::resetSession();
    auto d = std::make_unique<db::Database>();
    dxf::ReadReport report;
    if (!ok(dxf::readDxf(file, *d, report)))
        ::_exit(3);
    d->setFilePath(file.wstring());
    ed::adoptDrawing(std::move(d));
    ed::setTranscriptSink([](std::wstring_view) {});
    const std::wstring save = saveAs ? L"SAVEAS" : L"QSAVE";
    std::vector<std::wstring> grow = {L"LINE", L"0,0", L"1,1", L"", save};
    std::vector<std::wstring> shrink = {L"UNDO", L"1", save};
    if (saveAs) {
        for (auto* lines : {&grow, &shrink})
            lines->insert(lines->end(), {L"", file.wstring()});
    }
    for (int i = 0;; ++i)
        (void)ztest::RunScript(i % 2 == 0 ? grow : shrink);
}

void killSavesAtRandom(const fs::path& file, bool saveAs) {
    {
        db::Database d;
        for (int i = 0; i < 900; ++i) {
            db::ObjectId id;
            ASSERT_OK(d.appendToModelSpace(
                std::make_unique<db::Line>(geom::Point3d(i, 0), geom::Point3d(i + 0.5, 1)), id));
        }
        ASSERT_OK(dxf::writeDxf(d, file));
    }
    // Kills fall anywhere within about three saves, whatever the machine's speed.
    const auto start = std::chrono::steady_clock::now();
    {
        db::Database d;
        dxf::ReadReport report;
        ASSERT_OK(dxf::readDxf(file, d, report));
        ASSERT_OK(dxf::writeDxf(d, file));
    }
    const long oneSave = long(std::chrono::duration_cast<std::chrono::microseconds>(
                                  std::chrono::steady_clock::now() - start)
                                  .count());
    std::mt19937 random(saveAs ? 20261209 : 20261208);
    std::uniform_int_distribution<long> delayUs(oneSave, 4 * oneSave + 1000);
    int sawOld = 0, sawNew = 0;
    for (int round = 0; round < 20; ++round) {
        // The child starts from the drawing there now and adds one line before each other save.
        int linesBefore = 0;
        {
            db::Database d;
            ASSERT_TRUE(ztest::ReadDrawing(file, d));
            linesBefore = ztest::EntityKinds(d)[L"LINE"];
        }
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            saveForever(file, saveAs);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        db::Database now;
        ASSERT_TRUE(ztest::ReadDrawing(file, now)) << "round " << round;
        const int lines = ztest::EntityKinds(now)[L"LINE"];
        ASSERT_TRUE(lines == linesBefore || lines == linesBefore + 1)
            << "round " << round << ": " << lines << " lines after " << linesBefore;
        (lines == linesBefore ? sawOld : sawNew)++;
        settings::removeStaleTemporaries(file);
    }
    // Both states were found, so the kills fell while saves were under way.
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
}

} // namespace

TEST_F(SaveCommandKill, QsaveKilledLeavesAWholeDrawing) {
    killSavesAtRandom(Dir() / "drawing.dxf", false);
}

TEST_F(SaveCommandKill, SaveAsKilledLeavesAWholeDrawing) {
    killSavesAtRandom(Dir() / "drawing.dxf", true);
}
