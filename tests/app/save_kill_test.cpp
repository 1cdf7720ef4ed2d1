// A save killed at any moment leaves the drawing that was there or the one being saved, whole:
// never a truncated file, never none.
#include "support/drawing.h"
#include "support/temp_folder.h"

#include "zhost/db/db.h"
#include "zhost/dxf/dxf.h"
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

// A drawing of `lines` lines, big enough that saving it takes a while.
void fill(db::Database& d, int lines, double y) {
    for (int i = 0; i < lines; ++i) {
        db::ObjectId id;
        ASSERT_OK(d.appendEntity(
            d.modelSpaceId(),
            std::make_unique<db::Line>(geom::Point3d(i, y, 0), geom::Point3d(i + 0.5, y + 1, 0)),
            id));
    }
}

class SaveKill : public ztest::TempFolderTest {};

} // namespace

TEST_F(SaveKill, AKillAtAnyMomentLeavesTheOldOrTheNewDrawingWhole) {
    db::Database older, newer;
    fill(older, 900, 0);
    fill(newer, 600, 50);
    std::string olderText, newerText;
    ASSERT_OK(dxf::writeDxfText(older, olderText));
    ASSERT_OK(dxf::writeDxfText(newer, newerText));
    const fs::path file = Dir() / "drawing.dxf";
    ASSERT_OK(dxf::writeDxf(older, file));

    // Kills fall anywhere within about three saves, whatever the machine's speed.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_OK(dxf::writeDxf(older, file));
    const auto oneSave = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    std::mt19937 random(20261208);
    std::uniform_int_distribution<long> delayUs(0, 3 * oneSave + 1000);
    int sawOlder = 0, sawNewer = 0;
    for (int round = 0; round < 60; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) { // saves one drawing, then the other, until killed
            for (int i = 0;; ++i)
                (void)dxf::writeDxf(i % 2 == 0 ? newer : older, file);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string now = ztest::ReadFile(file);
        ASSERT_TRUE(now == olderText || now == newerText)
            << "round " << round << ": a file of " << now.size() << " bytes";
        (now == olderText ? sawOlder : sawNewer)++;
        settings::removeStaleTemporaries(file);
    }
    // Both drawings were found, so the kills fell while saves were under way.
    EXPECT_GT(sawOlder, 0);
    EXPECT_GT(sawNewer, 0);
    db::Database last;
    EXPECT_TRUE(ztest::ReadDrawing(file, last));
}
