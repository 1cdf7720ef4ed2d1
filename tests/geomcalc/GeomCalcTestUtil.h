#pragma once
// A drawing, a temporary user folder and a captured transcript for the geometric calculation's
// tests; answers for prompts come from a queue.
#include "support/status.h"
#include "support/temp_folder.h"

#include "zhost/core/utf.h"
#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/entities.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/input.h"
#include "zhost/editor/output.h"
#include "zhost/editor/session.h"
#include "zhost/editor/sysvars.h"
#include "zhost/settings/messages.h"
#include "zhost/settings/paths.h"
#include "zhost/settings/product.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

class GeomCalcTest : public ztest::TempFolderTest {
protected:
    void SetUp() override {
        zhost::settings::setUserFolder(Folder().MakeFolder("user"));
        zhost::settings::setProductFolder(Folder().MakeFolder("product"));
        Folder().MakeFolder("product/config");
        zhost::settings::setHeadless(true);
        zhost::ed::resetSession();
        zhost::ed::resetSessionVars();
        m_db = std::make_unique<zhost::db::Database>();
        zhost::ed::setWorkingDatabase(m_db.get());
        zhost::ed::setTranscriptSink([this](std::wstring_view t) { m_transcript += t; });
        zhost::settings::setPrintHook([this](std::wstring_view t) { m_transcript += t; });
    }

    void TearDown() override {
        zhost::ed::setInputSource(nullptr);
        zhost::ed::setWorkingDatabase(nullptr);
        zhost::ed::setTranscriptSink({});
        zhost::settings::setPrintHook({});
        m_db.reset();
    }

    const std::filesystem::path& TempDir() const { return Dir(); }
    zhost::db::Database& Db() { return *m_db; }
    const std::wstring& Transcript() const { return m_transcript; }
    void ClearTranscript() { m_transcript.clear(); }

    // The drawing's file; an existing file is made so that the drawing counts as saved.
    void SetDrawingPath(const std::filesystem::path& p) {
        if (!p.empty() && !std::filesystem::exists(p))
            std::ofstream(p) << "0\nEOF\n";
        m_db->setFilePath(p.empty() ? std::wstring() : zhost::settings::toWide(p));
    }

    // Answers for the prompts, one per line as a script has them.
    void Answers(std::vector<std::wstring> lines) {
        m_input = zhost::ed::makeQueue(std::move(lines));
        zhost::ed::setInputSource(m_input.get());
    }

    zhost::db::ObjectId Add(std::unique_ptr<zhost::db::Entity> e) {
        zhost::db::ObjectId id;
        EXPECT_OK(m_db->appendToModelSpace(std::move(e), id));
        return id;
    }
    zhost::db::ObjectId AddLine(double x0, double y0, double x1, double y1) {
        return Add(std::make_unique<zhost::db::Line>(zhost::geom::Point3d(x0, y0),
                                                     zhost::geom::Point3d(x1, y1)));
    }
    zhost::db::ObjectId AddCircle(double cx, double cy, double r) {
        return Add(std::make_unique<zhost::db::Circle>(zhost::geom::Point3d(cx, cy), r));
    }
    // Angles in degrees, counter-clockwise.
    zhost::db::ObjectId AddArc(double cx, double cy, double r, double a0, double a1) {
        const double k = 3.141592653589793 / 180;
        return Add(
            std::make_unique<zhost::db::Arc>(zhost::geom::Point3d(cx, cy), r, a0 * k, a1 * k));
    }

    // Live entities of model space of one kind.
    template <class T> std::vector<zhost::db::ObjectId> EntitiesOf() {
        std::vector<zhost::db::ObjectId> out;
        zhost::db::ObjectPtr<zhost::db::BlockTableRecord> ms(m_db->modelSpaceId(),
                                                             zhost::db::OpenMode::forRead);
        for (zhost::db::ObjectId id : ms->entityIds()) {
            zhost::db::ObjectPtr<T> e(id, zhost::db::OpenMode::forRead);
            if (e)
                out.push_back(id);
        }
        return out;
    }
    size_t EntityCount() {
        zhost::db::ObjectPtr<zhost::db::BlockTableRecord> ms(m_db->modelSpaceId(),
                                                             zhost::db::OpenMode::forRead);
        return ms->entityIds().size();
    }

    static std::string ReadFile(const std::filesystem::path& p) { return ztest::ReadFile(p); }

    void WriteIni(const std::string& name, const std::string& text) {
        Write(std::filesystem::path("product") / "config" / name, text);
    }

private:
    std::unique_ptr<zhost::db::Database> m_db;
    std::unique_ptr<zhost::ed::InputSource> m_input;
    std::wstring m_transcript;
};
