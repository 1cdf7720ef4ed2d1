#pragma once
// A sample symbol placed the way the placement places it (the drawing loaded as a block with the
// host's reader, a reference inserted, parameters set, the parameters evaluated), then exploded
// down to plain curves so that a test can measure what a draftsman would see: extents per
// layer, the span of the vertical lines at a place, the length of the horizontal ones.
#include "SampleTestUtil.h"

#include "zhost/core/utf.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/curves.h"
#include "zhost/db/database.h"
#include "zhost/db/parametric.h"
#include "zhost/dxf/dxf.h"
#include "zhost/geom/curves.h"

#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace sample {

// One visible curve of the exploded symbol.
struct Piece {
    std::wstring layer;
    std::wstring block; // the nested block it came from, empty at the top level
    zhost::geom::Extents3d extents;
    std::vector<std::pair<zhost::geom::Point3d, zhost::geom::Point3d>> straight; // segments
};

class PlacedSymbol {
public:
    // Loads Symbols/<name>.dxf; ok() tells whether that worked (message() says why not).
    explicit PlacedSymbol(const std::string& name) {
        using namespace zhost;
        std::wstring message;
        const Status st = dxf::loadDrawingAsBlock(ContentsDir() / "Symbols" / (name + ".dxf"), db_,
                                                  fromUtf8(name), blockId_, &message);
        if (!zhost::ok(st)) {
            message_ = toUtf8(message);
            return;
        }
        ok_ = zhost::ok(db_.appendEntity(
            db_.modelSpaceId(), std::make_unique<db::BlockReference>(geom::Point3d{}, blockId_),
            refId_));
    }
    bool ok() const { return ok_; }
    const std::string& message() const { return message_; }

    // Sets the parameters (as the placement does) and evaluates; false with the message.
    bool Place(const std::map<std::string, double>& values, std::string& error) {
        using namespace zhost;
        for (const auto& [name, value] : values) {
            db::param::ParamError e;
            char text[64];
            std::snprintf(text, sizeof text, "%.10g", value);
            if (!zhost::ok(db::param::setParameterExpression(refId_, fromUtf8(name), fromUtf8(text),
                                                             &e))) {
                error = name + ": " + toUtf8(e.message);
                return false;
            }
        }
        db::param::ParamError e;
        if (!zhost::ok(db::param::evaluate(refId_, &e))) {
            error = toUtf8(e.message);
            return false;
        }
        pieces_.clear();
        db::ObjectPtr<db::BlockReference> ref(refId_, db::OpenMode::forRead);
        if (!ref) {
            error = "the reference cannot be opened";
            return false;
        }
        Collect(*ref, L"", L"");
        return true;
    }

    const std::vector<Piece>& Pieces() const { return pieces_; }

    // Extents of the pieces on these layers (all layers when empty), top level and nested.
    zhost::geom::Extents3d Extents(const std::set<std::wstring>& layers = {},
                                   const std::wstring* block = nullptr) const {
        zhost::geom::Extents3d ext;
        for (const Piece& p : pieces_)
            if ((layers.empty() || layers.count(p.layer)) && (!block || *block == p.block))
                ext.addExtents(p.extents);
        return ext;
    }

    // The Y span of the vertical straight segments at x (within tol) on these layers.
    double VerticalSpanAt(double x, const std::set<std::wstring>& layers, double tol = 1e-6) const {
        double lo = 1e300, hi = -1e300;
        ForSegments(layers, [&](const zhost::geom::Point3d& a, const zhost::geom::Point3d& b) {
            if (std::abs(a.x - x) < tol && std::abs(b.x - x) < tol) {
                lo = std::min({lo, a.y, b.y});
                hi = std::max({hi, a.y, b.y});
            }
        });
        return hi >= lo ? hi - lo : 0;
    }

    // The X positions of the vertical segments on these layers, sorted.
    std::vector<double> VerticalsX(const std::set<std::wstring>& layers) const {
        std::vector<double> xs;
        ForSegments(layers, [&](const zhost::geom::Point3d& a, const zhost::geom::Point3d& b) {
            if (std::abs(a.x - b.x) < 1e-9 && std::abs(a.y - b.y) > 1e-9)
                xs.push_back(a.x);
        });
        std::sort(xs.begin(), xs.end());
        return xs;
    }

    // The X range covered by horizontal segments at |y| = y (within tol) on these layers.
    std::pair<double, double> HorizontalRangeAt(double y, const std::set<std::wstring>& layers,
                                                double tol = 1e-6) const {
        double lo = 1e300, hi = -1e300;
        ForSegments(layers, [&](const zhost::geom::Point3d& a, const zhost::geom::Point3d& b) {
            if (std::abs(std::abs(a.y) - y) < tol && std::abs(a.y - b.y) < tol) {
                lo = std::min({lo, a.x, b.x});
                hi = std::max({hi, a.x, b.x});
            }
        });
        return {lo, hi};
    }

private:
    void ForSegments(const std::set<std::wstring>& layers,
                     const std::function<void(const zhost::geom::Point3d&,
                                              const zhost::geom::Point3d&)>& fn) const {
        for (const Piece& p : pieces_)
            if (layers.empty() || layers.count(p.layer))
                for (const auto& [a, b] : p.straight)
                    fn(a, b);
    }

    // Pieces on layer "0" of a nested block show on the nested reference's layer, as the
    // platform displays them (explode itself leaves them on "0").
    void Collect(const zhost::db::BlockReference& ref, const std::wstring& block,
                 const std::wstring& inherited) {
        using namespace zhost;
        std::vector<std::unique_ptr<db::Entity>> parts;
        if (!zhost::ok(ref.explode(parts)))
            return;
        for (const auto& part : parts) {
            if (!part->visible())
                continue;
            if (const auto* nested = dynamic_cast<const db::BlockReference*>(part.get())) {
                const std::wstring layer = part->layer();
                Collect(*nested, nested->blockName(),
                        layer == L"0" && !inherited.empty() ? inherited : layer);
                continue;
            }
            const auto* curve = dynamic_cast<const db::Curve*>(part.get());
            if (curve == nullptr)
                continue;
            std::wstring layer = part->layer();
            if (layer == L"0" && !inherited.empty())
                layer = inherited;
            Piece piece{layer, block, {}, {}};
            if (!zhost::ok(geom::extents(curve->toCurve(), piece.extents)))
                continue;
            if (const auto* line = dynamic_cast<const db::Line*>(curve)) {
                piece.straight.emplace_back(line->startPoint(), line->endPoint());
            } else if (const auto* pl = dynamic_cast<const db::Polyline*>(curve)) {
                const int n = pl->numVerts();
                const int segments = pl->geometry().closed ? n : n - 1;
                for (int i = 0; i < segments; ++i)
                    if (pl->bulgeAt(i) == 0)
                        piece.straight.emplace_back(pl->pointAt(i), pl->pointAt((i + 1) % n));
            }
            pieces_.push_back(std::move(piece));
        }
    }

    zhost::db::Database db_;
    zhost::db::ObjectId blockId_, refId_;
    bool ok_ = false;
    std::string message_;
    std::vector<Piece> pieces_;
};

} // namespace sample
