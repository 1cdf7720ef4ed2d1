// BLOCKS and ENTITIES sections: the walk over entities, their common properties and extended
// data.
#include "reader.h"

#include "zhost/core/utf.h"

#include <algorithm>

namespace zhost::dxf {

std::size_t Reader::entityEnd(std::size_t i) const {
    ++i;
    while (i < tags_.size() && tags_[i].code != 0)
        ++i;
    return i;
}

void Reader::readBlocks(std::size_t& i) {
    while (i < tags_.size() && !tags_[i].is(0, "ENDSEC")) {
        if (!tags_[i].is(0, "BLOCK")) {
            if (tags_[i].code == 0 && tags_[i].value() != "ENDBLK")
                warn(tags_[i].line, L"an entity outside any block definition is ignored");
            i = entityEnd(i);
            continue;
        }
        const std::size_t end = entityEnd(i);
        const std::uint32_t line = tags_[i].line;
        std::string_view rawName;
        geom::Point3d base;
        int flags = 0;
        std::wstring comments;
        std::span<const Tag> xdata;
        for (std::size_t k = i + 1; k < end; ++k) {
            const Tag& t = tags_[k];
            if (t.code >= 1000) {
                xdata = std::span<const Tag>(tags_.data() + k, end - k);
                break;
            }
            switch (t.code) {
            case 2:
                rawName = t.value();
                break;
            case 70:
                flags = t.i32();
                break;
            case 10:
                base.x = t.real();
                break;
            case 20:
                base.y = t.real();
                break;
            case 30:
                base.z = t.real();
                break;
            case 4:
                comments = text(t);
                break;
            default:
                break;
            }
        }
        i = end;
        openBlock_.close();
        const db::ObjectId blockId = blockByName(rawName, line);
        if (!blockId.isNull()) {
            db::ObjectPtr<db::BlockTableRecord> rec(blockId, db::OpenMode::forWrite);
            if (rec) {
                rec->setOrigin(base);
                rec->setComments(comments);
                // Only the kind bits are kept; "has attribute definitions" follows the content.
                rec->setFlags(flags & ~2 & ~64);
                if (!xdata.empty())
                    applyXData(*rec, xdata, line);
            }
        } else {
            warn(line, L"a block definition without a usable name is skipped");
        }
        while (i < tags_.size() && tags_[i].code == 0 && tags_[i].value() != "ENDBLK" &&
               tags_[i].value() != "ENDSEC" && tags_[i].value() != "BLOCK") {
            if (blockId.isNull())
                i = entityEnd(i);
            else
                readEntity(i, blockId, true);
        }
        if (i < tags_.size() && tags_[i].is(0, "ENDBLK"))
            i = entityEnd(i);
        else
            warn(line, L"block definition without ENDBLK");
    }
}

void Reader::readEntitySection(std::size_t& i) {
    while (i < tags_.size() && !tags_[i].is(0, "ENDSEC")) {
        if (tags_[i].code != 0) {
            ++i;
            continue;
        }
        readEntity(i, {}, false);
    }
}

void Reader::parseCommon(std::span<const Tag> tags, EntityCommon& c, std::vector<Tag>& own,
                         bool markers) {
    own.clear();
    bool ownerSeen = false;
    for (std::size_t k = 0; k < tags.size(); ++k) {
        const Tag& t = tags[k];
        if (t.code >= 1000) {
            c.xdata = tags.subspan(k);
            return;
        }
        switch (t.code) {
        case 5:
            c.handle = t.handle();
            break;
        case 8:
            c.layer = t.value();
            break;
        case 6:
            c.linetype = t.value();
            break;
        case 62:
            c.color = t.i32();
            break;
        case 370:
            c.lineWeight = t.i32();
            break;
        case 48:
            c.ltscale = t.real();
            break;
        case 420:
            c.trueColor = t.integer();
            break;
        case 430:
            c.colorName = t.value();
            break;
        case 440:
            c.transparency = t.integer();
            break;
        case 39:
            c.thickness = t.real();
            break;
        case 60:
            c.invisible = t.integer() != 0;
            break;
        case 67:
            c.paperSpace = t.integer() != 0;
            break;
        case 100:
            if (markers)
                own.push_back(t);
            break;
        case 330:
            if (!ownerSeen) {
                c.owner = t.handle();
                ownerSeen = true;
            } else {
                own.push_back(t);
            }
            break;
        case 102:
            if (!t.value().empty() && t.value()[0] == '{') {
                while (k + 1 < tags.size() && !tags[k + 1].is(102, "}") && tags[k + 1].code < 1000)
                    ++k;
                ++k;
            }
            break;
        case 101: // an embedded object (R2018 attributes, mtext columns): not kept
            while (k + 1 < tags.size() && tags[k + 1].code < 1000)
                ++k;
            break;
        default:
            own.push_back(t);
            break;
        }
    }
}

void Reader::applyCommon(db::Entity& e, const EntityCommon& c) {
    e.setLayer(layerByName(c.layer, c.line));
    if (!c.linetype.empty())
        e.setLinetype(linetypeByName(c.linetype, c.line));
    else
        e.setLinetype(db_.byLayerLinetypeId());
    if (c.color >= 0 && c.color <= 256)
        e.setColorIndex(c.color);
    else
        warn(c.line, L"colour " + std::to_wstring(c.color) + L" out of range; ByLayer used");
    if (db::lineweight::isValid(c.lineWeight))
        e.setLineWeight(c.lineWeight);
    if (c.ltscale > 0)
        e.setLinetypeScale(c.ltscale);
    // Programs write the 24 colour bits with other bits set (a leading 0xC2 or 0xFF, or as a
    // negative number): only the colour bits count.
    if (c.trueColor >= 0 || c.trueColor < -1)
        e.setTrueColor(std::uint32_t(c.trueColor) & 0xFFFFFFu);
    if (!c.colorName.empty())
        e.setColorName(text(c.colorName));
    if (c.transparency != 0 && !ok(e.setTransparency(std::int32_t(c.transparency))))
        warn(c.line,
             L"transparency " + std::to_wstring(c.transparency) + L" is not valid; ignored");
    // A kept entity holds its thickness among its own tags.
    if (c.thickness != 0 && e.type() != db::ObjectType::rawEntity &&
        !ok(e.setThickness(c.thickness)))
        warn(c.line, L"a " + std::wstring(e.dxfName()) + L" has no thickness; " +
                         std::to_wstring(c.thickness) + L" ignored");
    if (c.invisible)
        e.setVisible(false);
}

db::ObjectId Reader::appendTo(db::ObjectId blockId, std::unique_ptr<db::Entity> e,
                              const EntityCommon& c) {
    db::ObjectId id;
    if (openBlock_.id() != blockId || !openBlock_)
        openBlock_.open(blockId, db::OpenMode::forWrite);
    if (!openBlock_ || !ok(openBlock_->appendEntity(std::move(e), id))) {
        warn(c.line, L"the entity could not be added to its block");
        return {};
    }
    adoptHandle(id, c.handle, c.line);
    ++report_.entitiesRead;
    return id;
}

void Reader::readEntity(std::size_t& i, db::ObjectId blockId, bool inBlock) {
    const std::size_t start = i;
    const std::size_t end = entityEnd(i);
    const std::string_view kind = tags_[i].value();
    EntityCommon c;
    c.line = tags_[i].line;
    const bool annotation = kind == "DIMENSION" || kind == "ARC_DIMENSION" || kind == "LEADER";
    parseCommon(std::span<const Tag>(tags_.data() + i + 1, end - i - 1), c, own_, annotation);
    i = end;
    if (!inBlock) {
        // The ENTITIES section holds model space and the active paper space. An owner that is
        // missing, unknown or another block is a fault of the writing program: the section
        // and the paper-space flag say where the entity belongs.
        auto it = blockRecordByHandle_.find(c.owner);
        const bool ownerFits =
            it != blockRecordByHandle_.end() &&
            (it->second == db_.modelSpaceId() || it->second == db_.paperSpaceId());
        blockId = ownerFits ? it->second : c.paperSpace ? db_.paperSpaceId() : db_.modelSpaceId();
        if (c.owner != 0 && !ownerFits)
            repaired(c.line, "owner",
                     L"the owner " + db::Handle(c.owner).toHex() +
                         L" of an entity in ENTITIES is no layout; placed by the section");
    }
    const std::span<const Tag> own(own_);
    std::unique_ptr<db::Entity> e;
    db::XData xdata = c.xdata.empty() ? db::XData() : readXData(c.xdata);
    bool attributesFollow = false;
    // 3DLINE is the line of drawings before R11 (a LINE with z values): no later version has
    // the kind, so it is read as the LINE it is and saves as one.
    if (kind == "LINE" || kind == "3DLINE")
        e = buildLine(*this, own);
    else if (kind == "CIRCLE")
        e = buildArc(*this, own, true);
    else if (kind == "ARC")
        e = buildArc(*this, own, false);
    else if (kind == "ELLIPSE")
        e = buildEllipse(*this, own, c.line);
    else if (kind == "SOLID")
        e = buildQuad(*this, own, db::ObjectType::solid);
    else if (kind == "TRACE")
        e = buildQuad(*this, own, db::ObjectType::trace);
    else if (kind == "3DFACE")
        e = buildQuad(*this, own, db::ObjectType::face);
    else if (kind == "XLINE")
        e = buildXLine(*this, own, false);
    else if (kind == "RAY")
        e = buildXLine(*this, own, true);
    else if (kind == "POINT")
        e = buildPoint(*this, own);
    else if (kind == "TEXT")
        e = buildText(*this, own, 0);
    else if (kind == "ATTDEF")
        e = buildText(*this, own, 1);
    else if (kind == "MTEXT")
        e = buildMText(*this, own);
    else if (kind == "LWPOLYLINE")
        e = buildLwPolyline(*this, own, c.line);
    else if (kind == "POLYLINE")
        e = readOldPolyline(i, own, c.line);
    else if (kind == "SPLINE")
        e = buildSpline(*this, own, c.line);
    else if (kind == "HATCH")
        e = buildHatch(*this, own, c.line);
    else if (kind == "REGION")
        e = buildRegion(*this, own, c.line, xdata);
    else if (kind == "INSERT")
        e = buildInsert(*this, own, c.line, attributesFollow);
    else if (annotation) {
        rawRefScratch_.clear();
        pendingAnnotation_ = 0;
        e = kind == "LEADER" ? buildLeader(*this, own, c.line)
                             : buildDimension(*this, own, kind == "ARC_DIMENSION", c.line);
    } else if (kind == "ATTRIB" || kind == "VERTEX" || kind == "SEQEND") {
        warn(c.line, "stray", L"a stray " + text(kind) + L" is ignored");
        skipped(kind, true);
        return;
    }
    if (!e) {
        // A kind the database does not model, or data it cannot use: kept as read, with the
        // records that belong to it (an unusable INSERT's attributes, a mesh's vertices).
        if (kind == "INSERT")
            while (i < tags_.size() && (tags_[i].is(0, "ATTRIB") || tags_[i].is(0, "SEQEND")))
                i = entityEnd(i);
        keepEntity(start, i, c, blockId, xdata);
        return;
    }
    applyCommon(*e, c);
    registerApps(xdata);
    if (!xdata.empty() && !ok(e->setXData(xdata)))
        warn(c.line, "xdata", L"malformed extended data is dropped");
    const db::ObjectId id = appendTo(blockId, std::move(e), c);
    if (!id.isNull())
        ++report_.modelledKinds[std::string(kind)];
    if (annotation && !id.isNull()) {
        if (!rawRefScratch_.empty())
            rawPending_.push_back({id, rawRefScratch_, 0});
        if (pendingAnnotation_ != 0)
            annotations_.emplace_back(id, pendingAnnotation_);
    }
    if (kind == "INSERT" && (attributesFollow || (i < tags_.size() && tags_[i].is(0, "ATTRIB"))))
        readAttributes(i, id);
}

void Reader::readAttributes(std::size_t& i, db::ObjectId refId) {
    while (i < tags_.size() && tags_[i].is(0, "ATTRIB")) {
        const std::size_t end = entityEnd(i);
        EntityCommon c;
        c.line = tags_[i].line;
        parseCommon(std::span<const Tag>(tags_.data() + i + 1, end - i - 1), c, own_);
        i = end;
        std::unique_ptr<db::Entity> e = buildText(*this, own_, 2);
        if (!e || refId.isNull())
            continue;
        applyCommon(*e, c);
        if (!c.xdata.empty()) {
            const db::XData x = readXData(c.xdata);
            registerApps(x);
            if (!ok(e->setXData(x)))
                warn(c.line, "xdata", L"malformed extended data is dropped");
        }
        std::unique_ptr<db::Attribute> attr(static_cast<db::Attribute*>(e.release()));
        db::ObjectPtr<db::BlockReference> ref(refId, db::OpenMode::forWrite);
        db::ObjectId id;
        if (!ref || !ok(ref->appendAttribute(std::move(attr), id))) {
            warn(c.line, L"the attribute could not be added");
            continue;
        }
        ref.close();
        adoptHandle(id, c.handle, c.line);
        ++report_.entitiesRead;
        ++report_.modelledKinds["ATTRIB"];
    }
    if (i < tags_.size() && tags_[i].is(0, "SEQEND"))
        i = entityEnd(i);
}

// --- Extended data
// --------------------------------------------------------------------------------

db::XData Reader::readXData(std::span<const Tag> tags) {
    db::XData chain;
    for (std::size_t k = 0; k < tags.size(); ++k) {
        const Tag& t = tags[k];
        const int code = t.code;
        if (code == 1001) {
            chain.emplace_back(code, text(t));
        } else if (code >= 1000 && code <= 1005) {
            chain.emplace_back(code, text(t));
        } else if (code >= 1010 && code <= 1013) {
            geom::Point3d p(t.real(), 0, 0);
            if (k + 1 < tags.size() && tags[k + 1].code == code + 10)
                p.y = tags[++k].real();
            if (k + 1 < tags.size() && tags[k + 1].code == code + 20)
                p.z = tags[++k].real();
            chain.emplace_back(code, p);
        } else if (code >= 1040 && code <= 1042) {
            chain.emplace_back(code, t.real());
        } else if (code == 1070) {
            const std::int64_t v = std::clamp<std::int64_t>(t.integer(), -32768, 32767);
            chain.emplace_back(code, std::int32_t(v));
        } else if (code == 1071) {
            const std::int64_t v = t.integer();
            chain.emplace_back(code, std::int32_t(std::uint32_t(std::uint64_t(v))));
        }
    }
    // A chain must start with its application; anything before the first 1001 is dropped, as are
    // applications whose items do not validate.
    db::XData out;
    for (db::XData& app : db::splitByApplication(chain)) {
        if (app.empty() || app[0].code != db::xcode::appName)
            continue;
        if (ok(db::validateXData(app)))
            out.insert(out.end(), app.begin(), app.end());
        else
            warn(tags.empty() ? 0 : tags[0].line,
                 L"malformed extended data of \"" + app[0].str() + L"\" is dropped");
    }
    return out;
}

void Reader::registerApps(const db::XData& chain) {
    for (const db::ResBuf& r : chain)
        if (r.code == db::xcode::appName && db::isValidSymbolName(r.str()) &&
            !db_.isAppRegistered(r.str()))
            db_.registerApp(r.str());
}

void Reader::applyXData(db::DbObject& obj, std::span<const Tag> tags, std::uint32_t line) {
    const db::XData chain = readXData(tags);
    registerApps(chain);
    if (!chain.empty() && !ok(obj.setXData(chain)))
        warn(line, L"extended data was not taken");
}

} // namespace zhost::dxf
