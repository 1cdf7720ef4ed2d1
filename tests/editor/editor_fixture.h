#pragma once
// A drawing, a transcript and a queue of answers for the editor's tests.
#include "zhost/db/db.h"
#include "zhost/editor/editor.h"

#include "support/status.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zhost::test {

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ed::resetSession();
        ed::setWorkingDatabase(&db);
        ed::setTranscriptSink([this](std::wstring_view t) { transcript += t; });
    }
    void TearDown() override {
        ed::setInputSource(nullptr);
        ed::setWorkingDatabase(nullptr);
        ed::setTranscriptSink({});
        ed::resetSession();
    }

    // The answers the next prompts read, one per line as a script gives them.
    void answers(std::vector<std::wstring> lines) {
        input = ed::makeQueue(std::move(lines));
        ed::setInputSource(input.get());
    }

    db::ObjectId add(std::unique_ptr<db::Entity> e) {
        db::ObjectId id;
        EXPECT_OK(db.appendToModelSpace(std::move(e), id));
        return id;
    }
    db::ObjectId addLine(double x1, double y1, double x2, double y2) {
        return add(std::make_unique<db::Line>(geom::Point3d(x1, y1), geom::Point3d(x2, y2)));
    }
    db::ObjectId addCircle(double x, double y, double r) {
        return add(std::make_unique<db::Circle>(geom::Point3d(x, y), r));
    }
    // Four lines around a rectangle.
    std::vector<db::ObjectId> addRectangle(double x1, double y1, double x2, double y2) {
        return {addLine(x1, y1, x2, y1), addLine(x2, y1, x2, y2), addLine(x2, y2, x1, y2),
                addLine(x1, y2, x1, y1)};
    }
    // Live model-space entities of a DXF type.
    std::vector<db::ObjectId> entitiesOfType(const wchar_t* dxfName) {
        std::vector<db::ObjectId> out;
        db::ObjectPtr<db::BlockTableRecord> ms(db.modelSpaceId(), db::OpenMode::forRead);
        for (db::ObjectId id : ms->entityIds()) {
            db::ObjectPtr<db::Entity> e(id, db::OpenMode::forRead);
            if (e && std::wstring(e->dxfName()) == dxfName)
                out.push_back(id);
        }
        return out;
    }
    bool transcriptHas(std::wstring_view text) const {
        return transcript.find(text) != std::wstring::npos;
    }

    db::Database db;
    std::wstring transcript;
    std::unique_ptr<ed::InputSource> input;
};

} // namespace zhost::test
