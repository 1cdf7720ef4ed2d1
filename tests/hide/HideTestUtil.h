#pragma once
// A drawing with block definitions built entity by entity, a captured transcript and a machine
// switch file, for the tests of the shared outline services.
#include "zhost/db/block_reference.h"
#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/entities.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/output.h"
#include "zhost/editor/session.h"
#include "zhost/editor/sysvars.h"
#include "zhost/settings/registry.h"

#include "support/status.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace hidetest {

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace geom = zhost::geom;
using zhost::Status;

class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ed::resetSession();
        ed::resetSessionVars();
        m_db = std::make_unique<db::Database>();
        ed::setWorkingDatabase(m_db.get());
        ed::setTranscriptSink([this](std::wstring_view t) { m_out += t; });
        m_switches = m_folder / "machine.reg";
        SetDebug(false);
        zhost::settings::setMachineRegistryFile(m_switches);
    }
    void TearDown() override {
        ed::setTranscriptSink({});
        ed::setWorkingDatabase(nullptr);
        zhost::settings::setMachineRegistryFile({});
    }

    void SetDebug(bool on) {
        std::ofstream(m_switches)
            << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tessaly\\Parameters\\ZORMA_CONT]\n"
            << "\"ShowDebugInfo\"=dword:0000000" << (on ? 1 : 0) << "\n";
    }

    db::Database& Db() { return *m_db; }

    db::ObjectId Block(const wchar_t* name) {
        db::ObjectId id;
        EXPECT_OK(m_db->addBlock(name, id));
        return id;
    }
    db::ObjectId Layer(const wchar_t* name) {
        db::ObjectId id;
        m_db->addLayer(name, id);
        return id;
    }
    db::ObjectId Add(db::ObjectId block, std::unique_ptr<db::Entity> e,
                     const wchar_t* layer = nullptr) {
        if (layer) {
            Layer(layer);
            e->setLayer(layer);
        }
        db::ObjectId id;
        EXPECT_OK(m_db->appendEntity(block, std::move(e), id));
        return id;
    }
    db::ObjectId Line(db::ObjectId block, double x1, double y1, double x2, double y2,
                      const wchar_t* layer = nullptr) {
        return Add(block, std::make_unique<db::Line>(geom::Point3d(x1, y1), geom::Point3d(x2, y2)),
                   layer);
    }
    db::ObjectId Circle(db::ObjectId block, double x, double y, double r,
                        const wchar_t* layer = nullptr) {
        return Add(block, std::make_unique<db::Circle>(geom::Point3d(x, y), r), layer);
    }
    // A closed square outline as four lines, lower-left corner at (x, y).
    std::vector<db::ObjectId> Square(db::ObjectId block, double x, double y, double size,
                                     const wchar_t* layer = nullptr) {
        return {Line(block, x, y, x + size, y, layer),
                Line(block, x + size, y, x + size, y + size, layer),
                Line(block, x + size, y + size, x, y + size, layer),
                Line(block, x, y + size, x, y, layer)};
    }
    db::ObjectId Ref(db::ObjectId block, db::ObjectId referenced, double x, double y,
                     const wchar_t* layer = nullptr, bool visible = true) {
        auto ref = std::make_unique<db::BlockReference>(geom::Point3d(x, y), referenced);
        ref->setVisible(visible);
        return Add(block, std::move(ref), layer);
    }
    void MarkHole(db::ObjectId id, int serial = 0) {
        m_db->registerApp(L"ZORMA-PARTS-HOLE");
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forWrite);
        ASSERT_TRUE(e);
        ASSERT_OK(e->setXData({db::xApp(L"ZORMA-PARTS-HOLE"), db::xInt16(serial)}));
    }
    std::vector<db::ObjectId> Entities(db::ObjectId block) {
        db::ObjectPtr<db::BlockTableRecord> b(block, db::OpenMode::forRead);
        return b ? b->entityIds() : std::vector<db::ObjectId>();
    }
    std::wstring LayerOf(db::ObjectId id) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        return e ? e->layer() : L"?";
    }
    std::wstring TypeOf(db::ObjectId id) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead, true);
        return e ? e->dxfName() : L"?";
    }
    bool IsErased(db::ObjectId id) {
        db::ObjectPtr<db::DbObject> o(id, db::OpenMode::forRead, true);
        return !o || o->isErased();
    }
    const std::wstring& Out() const { return m_out; }

    ztest::TempFolder m_folder;
    std::unique_ptr<db::Database> m_db;
    std::wstring m_out;
    std::filesystem::path m_switches;
};

} // namespace hidetest
