#include "geomcalc/ResultTable.h"

#include "geomcalc/GeomCalcEntities.h"
#include "geomcalc/GeomCalcReport.h"
#include "geomcalc/TitleBlock.h"

#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/dictionary.h"
#include "zhost/db/entities.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/session.h"
#include "zhost/editor/ucs.h"

#include <memory>

namespace db = zhost::db;
namespace ed = zhost::ed;
namespace geom = zhost::geom;

std::wstring TableBasePrompt(TableCorner corner) {
    static const wchar_t* const kBrackets[] = {
        L"[左下*(A)/左上(B)/右下(C)/右上(D)]:",
        L"[左下(A)/左上*(B)/右下(C)/右上(D)]:",
        L"[左下(A)/左上(B)/右下*(C)/右上(D)]:",
        L"[左下(A)/左上(B)/右下(C)/右上*(D)]:",
    };
    return std::wstring(L"部品欄の基準点を指示して下さい ") + kBrackets[int(corner)];
}

TableLayout LayoutResultTable(const std::vector<ReportRow>& rows, TableCorner corner,
                              const geom::Point3d& base, const geom::Vector3d& x,
                              const geom::Vector3d& y, double textSize, double scale) {
    TableLayout t;
    t.textHeight = textSize * scale;
    const double columnWidth = textSize * 22 * scale;
    const double rowHeight = textSize * 4 * scale;
    t.width = 2 * columnWidth;
    t.height = double(rows.size()) * rowHeight;

    geom::Point3d u = base; // the upper-left corner
    switch (corner) {
    case TableCorner::lowerLeft:
        u = base + y * t.height;
        break;
    case TableCorner::upperLeft:
        break;
    case TableCorner::lowerRight:
        u = base + y * t.height - x * t.width;
        break;
    case TableCorner::upperRight:
        u = base - x * t.width;
        break;
    }
    const geom::Point3d ur = u + x * t.width;
    const geom::Point3d ll = u - y * t.height;

    t.lines.push_back({u, ll});
    t.lines.push_back({u + x * columnWidth, ll + x * columnWidth});
    t.lines.push_back({ur, ll + x * t.width});
    for (size_t i = 0; i <= rows.size(); ++i)
        t.lines.push_back({u - y * (rowHeight * double(i)), ur - y * (rowHeight * double(i))});

    for (size_t k = 0; k < rows.size(); ++k) {
        const geom::Point3d p =
            u - y * (rowHeight * double(k)) + x * t.textHeight - y * (rowHeight * 0.5);
        t.texts.push_back({p, rows[k].item});
        t.texts.push_back({p + x * columnWidth, rows[k].data});
    }
    return t;
}

namespace {

// Multiline text takes "\P" for a line break; a cell's "X\nY" becomes two lines of one cell.
std::wstring MTextContents(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\n')
            out += L"\\P";
        else
            out += c;
    }
    return out;
}

void GroupEntities(const std::vector<db::ObjectId>& ids) {
    db::Database* d = ed::workingDatabase();
    if (!d)
        return;
    db::ObjectPtr<db::Dictionary> groups(d->groupDictionaryId(), db::OpenMode::forWrite);
    if (!groups)
        return;
    db::ObjectId groupId;
    if (!zhost::ok(groups->setAt(L"*U", std::make_unique<db::Group>(L"*U", true), groupId)))
        return; // the entities stay ungrouped
    groups.close();
    db::ObjectPtr<db::Group> group(groupId, db::OpenMode::forWrite);
    if (!group)
        return;
    for (db::ObjectId id : ids)
        if (!id.isNull())
            group->append(id);
}

} // namespace

void DrawResultTable(const TableLayout& layout, double rotation, std::vector<db::ObjectId>* made) {
    const geom::Vector3d normal = ed::currentUcs().zAxis();
    std::vector<db::ObjectId> ids;
    for (const TableLayout::Segment& s : layout.lines) {
        auto line = std::make_unique<db::Line>(s.start, s.end);
        line->setNormal(normal);
        ApplyDrawingDefaults(*line);
        ids.push_back(AppendToCurrentSpace(std::move(line)));
    }
    for (const TableLayout::Cell& c : layout.texts) {
        auto text = std::make_unique<db::MText>();
        text->setLocation(c.location);
        text->setTextHeight(layout.textHeight);
        text->setContents(MTextContents(c.text));
        text->setAttachment(db::MTextAttachment::middleLeft);
        text->setRotation(rotation);
        ApplyDrawingDefaults(*text);
        ids.push_back(AppendToCurrentSpace(std::move(text)));
    }
    GroupEntities(ids);
    if (made)
        *made = std::move(ids);
}

bool PlaceResultTable(const CGeomCalcContext& ctx) {
    TableCorner corner = TableCorner::lowerLeft;
    geom::Point3d base;
    while (true) {
        ed::initGet(0, L"A B C D");
        const ed::Result r = ed::getPoint(nullptr, TableBasePrompt(corner), base);
        if (r == ed::Result::keyword) {
            std::wstring kw;
            ed::getInput(kw);
            corner = kw == L"A"   ? TableCorner::lowerLeft
                     : kw == L"B" ? TableCorner::upperLeft
                     : kw == L"C" ? TableCorner::lowerRight
                                  : TableCorner::upperRight;
            continue;
        }
        if (r != ed::Result::normal)
            return false;
        break;
    }
    db::Database* d = ed::workingDatabase();
    if (!d)
        return false;
    std::vector<ReportRow> rows;
    BuildReport(ctx, ReportForm::table, rows);
    const double scale = TitleBlockScale(*d);
    const ed::Ucs ucs = ed::currentUcs();
    const TableLayout layout = LayoutResultTable(rows, corner, ed::ucsToWcs(base), ucs.xAxis,
                                                 ucs.yAxis, d->textSize(), scale);
    DrawResultTable(layout, ucs.xAxis.angleTo(geom::Vector3d::xAxis()));
    return true;
}
