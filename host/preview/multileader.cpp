// A multileader is kept as its tags (the host does not model it); its picture is read from the
// context data it carries: the leader lines with their arrowheads and doglegs, the text or the
// block it points from.
#include "multileader.h"

#include "zhost/core/utf.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/drafting.h"
#include "zhost/db/entities.h"

#include <charconv>
#include <cmath>

namespace zhost::preview {

namespace {

double number(std::string_view text) {
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return std::isfinite(v) ? v : 0;
}

void setCoordinate(geom::Point3d& p, int code, int base, double v) {
    (code == base ? p.x : code == base + 10 ? p.y : p.z) = v;
}

bool isCoordinate(int code, int base) {
    return code == base || code == base + 10 || code == base + 20;
}

std::unique_ptr<db::Entity> arrowhead(const geom::Point3d& tip, const geom::Point3d& from,
                                      double size) {
    const geom::Vector3d along = from - tip;
    const double length = along.length();
    if (length <= 0 || size <= 0)
        return nullptr;
    const geom::Vector3d u = along / length;
    const geom::Vector3d side = geom::Vector3d(-u.y, u.x, 0) * (size / 6);
    const geom::Point3d back = tip + u * std::min(size, length);
    return std::make_unique<db::Solid>(
        std::array<geom::Point3d, 4>{tip, back + side, back - side, back - side});
}

struct Reading {
    std::vector<std::unique_ptr<db::Entity>> pieces;
    double arrowSize = 0, textHeight = 0, textWidth = 0, textRotation = 0;
    std::wstring text;
    geom::Point3d textAt, blockAt;
    geom::Vector3d blockScale{1, 1, 1};
    double blockRotation = 0;
    db::ObjectId block;
    int attachment = 1;
    bool hasText = false;
};

} // namespace

std::vector<std::unique_ptr<db::Entity>> multileaderPieces(const db::RawEntity& e) {
    const db::RawTags& t = e.record().body;
    Reading r;
    enum Where { outside, context, leader, line } where = outside;
    geom::Point3d lastPoint;
    geom::Vector3d dogleg;
    double doglegLength = 0;
    std::vector<geom::Point3d> vertices;
    std::vector<std::vector<geom::Point3d>> lines;
    auto endLeader = [&] {
        for (std::vector<geom::Point3d>& v : lines) {
            v.push_back(lastPoint);
            if (auto a = arrowhead(v[0], v[1], r.arrowSize))
                r.pieces.push_back(std::move(a));
            for (std::size_t k = 0; k + 1 < v.size(); ++k)
                if (v[k] != v[k + 1])
                    r.pieces.push_back(std::make_unique<db::Line>(v[k], v[k + 1]));
        }
        if (doglegLength != 0 && !dogleg.isZeroLength())
            r.pieces.push_back(
                std::make_unique<db::Line>(lastPoint, lastPoint + dogleg.normal() * doglegLength));
        lines.clear();
    };
    for (std::size_t i = 0; i < t.size(); ++i) {
        const int code = t.code(i);
        const std::string_view v = t.value(i);
        switch (where) {
        case outside:
            if (code == 300 && v == "CONTEXT_DATA{")
                where = context;
            break;
        case context:
            if (code == 301) {
                where = outside;
            } else if (code == 302) {
                where = leader;
                doglegLength = 0;
                dogleg = {};
            } else if (code == 304) {
                r.text = fromUtf8(v);
            } else if (code == 290 && !r.hasText) {
                r.hasText = v == "1";
            } else if (code == 140) {
                r.arrowSize = number(v);
            } else if (code == 41) {
                r.textHeight = number(v);
            } else if (code == 43) {
                r.textWidth = number(v);
            } else if (code == 42) {
                r.textRotation = number(v);
            } else if (code == 171) {
                r.attachment = int(number(v));
            } else if (isCoordinate(code, 12)) {
                setCoordinate(r.textAt, code, 12, number(v));
            } else if (isCoordinate(code, 15)) {
                setCoordinate(r.blockAt, code, 15, number(v));
            } else if (isCoordinate(code, 16)) {
                geom::Point3d s(r.blockScale.x, r.blockScale.y, r.blockScale.z);
                setCoordinate(s, code, 16, number(v));
                r.blockScale = s.asVector();
            } else if (code == 46) {
                r.blockRotation = number(v);
            } else if (code == 341 && t.isReference(i)) {
                r.block = t.reference(i);
            }
            break;
        case leader:
            if (code == 303) {
                endLeader();
                where = context;
            } else if (code == 304) {
                where = line;
                vertices.clear();
            } else if (isCoordinate(code, 10)) {
                setCoordinate(lastPoint, code, 10, number(v));
            } else if (isCoordinate(code, 11)) {
                geom::Point3d d(dogleg.x, dogleg.y, dogleg.z);
                setCoordinate(d, code, 11, number(v));
                dogleg = d.asVector();
            } else if (code == 40) {
                doglegLength = number(v);
            }
            break;
        case line:
            if (code == 305) {
                if (!vertices.empty())
                    lines.push_back(vertices);
                where = leader;
            } else if (code == 10) {
                vertices.emplace_back(number(v), 0, 0);
            } else if ((code == 20 || code == 30) && !vertices.empty()) {
                (code == 20 ? vertices.back().y : vertices.back().z) = number(v);
            }
            break;
        }
    }
    if (r.hasText && !r.text.empty() && r.textHeight > 0) {
        auto m = std::make_unique<db::MText>();
        m->setLocation(r.textAt);
        m->setContents(r.text);
        m->setTextHeight(r.textHeight);
        m->setWidth(std::max(0.0, r.textWidth));
        m->setRotation(r.textRotation);
        if (r.attachment >= 1 && r.attachment <= 9)
            m->setAttachment(db::MTextAttachment(r.attachment));
        r.pieces.push_back(std::move(m));
    }
    if (!r.block.isNull()) {
        auto b = std::make_unique<db::BlockReference>(r.blockAt, r.block);
        b->setScaleFactors(r.blockScale);
        b->setRotation(r.blockRotation);
        r.pieces.push_back(std::move(b));
    }
    return std::move(r.pieces);
}

} // namespace zhost::preview
