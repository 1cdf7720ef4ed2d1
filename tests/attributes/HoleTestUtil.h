#pragma once
// A drawing, an input queue and a transcript for running the hole-outline command in the test's
// own process, registered on the host's command stack the way the plug-in registers it.
#include "frame/CommandBodies.h"

#include "support/status.h"

#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/entities.h"
#include "zhost/editor/input.h"
#include "zhost/editor/output.h"
#include "zhost/editor/selection.h"
#include "zhost/editor/session.h"
#include "zhost/editor/sysvars.h"
#include "zhost/rx/commands.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace holetest {

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace geom = zhost::geom;

inline constexpr const wchar_t* kApp = L"ZORMA-PARTS-HOLE";

class HoleCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ed::resetSession();
        ed::resetSessionVars();
        ed::setWorkingDatabase(&m_db);
        zhost::rx::commandStack().addCommand(L"HOLETEST", L"KORU_ATTACH_PC_XDATA",
                                             L"KORU_ATTACH_PC_XDATA", zhost::rx::cmd::kUsePickSet,
                                             &KoruAttachPcXdataMain);
        ed::setTranscriptSink([this](std::wstring_view t) {
            m_out.append(t);
            if (m_onOutput)
                m_onOutput(t);
        });
    }
    void TearDown() override {
        ed::setTranscriptSink({});
        zhost::rx::commandStack().removeGroup(L"HOLETEST");
        ed::setInputSource(nullptr);
        ed::setWorkingDatabase(nullptr);
    }

    // Runs the command with the given answers to its prompts; returns the transcript.
    std::wstring Run(std::vector<std::wstring> answers = {}) {
        m_out.clear();
        m_input = ed::makeQueue(std::move(answers));
        ed::setInputSource(m_input.get());
        ed::runCommand(L"KORU_ATTACH_PC_XDATA");
        return m_out;
    }

    void PreSelect(const std::vector<db::ObjectId>& ids) {
        ed::SelectionSet ss;
        for (db::ObjectId id : ids)
            ss.add(id);
        ed::setPickFirst(&ss);
    }

    db::ObjectId Add(std::unique_ptr<db::Entity> e) {
        db::ObjectId id;
        EXPECT_OK(m_db.appendToModelSpace(std::move(e), id));
        return id;
    }
    db::ObjectId AddLine(double x1, double y1, double x2, double y2) {
        return Add(std::make_unique<db::Line>(geom::Point3d(x1, y1), geom::Point3d(x2, y2)));
    }
    db::ObjectId AddCircle(double x, double y, double r) {
        return Add(std::make_unique<db::Circle>(geom::Point3d(x, y), r));
    }
    db::ObjectId AddArc(double x, double y, double r, double a0, double a1) {
        return Add(std::make_unique<db::Arc>(geom::Point3d(x, y), r, a0, a1));
    }
    db::ObjectId AddPolyline(const std::vector<geom::Point3d>& pts, bool closed) {
        geom::Polyline p;
        p.points = pts;
        p.bulges.assign(pts.size(), 0.0);
        p.closed = closed;
        return Add(std::make_unique<db::Polyline>(p));
    }
    // Four lines of a square, corner at (x, y).
    std::vector<db::ObjectId> AddSquare(double x, double y, double size) {
        return {AddLine(x, y, x + size, y), AddLine(x + size, y, x + size, y + size),
                AddLine(x + size, y + size, x, y + size), AddLine(x, y + size, x, y)};
    }

    void Mark(db::ObjectId id, int serial) {
        m_db.registerApp(kApp);
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forWrite);
        ASSERT_TRUE(e);
        ASSERT_OK(e->setXData({db::xApp(kApp), db::xInt16(serial)}));
    }

    // The serial number of a curve's hole mark; -1 without one.
    int Serial(db::ObjectId id) {
        db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
        if (!e)
            return -2;
        const db::XData x = e->xdata(kApp);
        if (x.size() != 2 || x[1].code != db::xcode::int16)
            return -1;
        return x[1].integer();
    }

    // Live entities of model space by DXF name.
    int Count(const wchar_t* dxfName) {
        ed::SelectionSet ss;
        const ed::ResBufList filter{{0, dxfName}};
        if (ss.select(L"X", nullptr, nullptr, &filter) != ed::Result::normal)
            return 0;
        return int(ss.length());
    }

    int VarInt(const wchar_t* name) {
        int v = -1;
        ed::getVarInt(name, v);
        return v;
    }

    static bool Has(const std::wstring& text, const std::wstring& part) {
        return text.find(part) != std::wstring::npos;
    }

    db::Database m_db;
    std::unique_ptr<ed::InputSource> m_input;
    std::wstring m_out;
    std::function<void(std::wstring_view)> m_onOutput;
};

} // namespace holetest
