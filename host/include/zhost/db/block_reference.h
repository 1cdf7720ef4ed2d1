#pragma once
// Block references (inserts) with their attributes, and attribute definitions.
#include "zhost/db/entities.h"

namespace zhost::db {

// Shared by attributes and attribute definitions.
struct AttributeFlags {
    bool invisible = false;
    bool constant = false;
    bool verify = false;
    bool preset = false;
    int toDxf() const {
        return (invisible ? 1 : 0) | (constant ? 2 : 0) | (verify ? 4 : 0) | (preset ? 8 : 0);
    }
    static AttributeFlags fromDxf(int f) {
        return {bool(f & 1), bool(f & 2), bool(f & 4), bool(f & 8)};
    }
    bool operator==(const AttributeFlags&) const = default;
};

// An attribute definition inside a block: the template of the attributes of its references.
// Its text string is the default value.
class AttributeDefinition : public Text {
    ZHOST_DB_OBJECT_COPY(AttributeDefinition)
    AttributeDefinition() = default;

    ObjectType type() const override { return ObjectType::attributeDefinition; }
    const wchar_t* dxfName() const override { return L"ATTDEF"; }

    const std::wstring& tag() const { return tag_; }
    Status setTag(std::wstring_view tag); // non-empty, no spaces
    const std::wstring& prompt() const { return prompt_; }
    Status setPrompt(std::wstring_view prompt);
    const std::wstring& defaultText() const { return textString(); }
    Status setDefaultText(std::wstring_view text) { return setTextString(text); }
    AttributeFlags flags() const { return flags_; }
    Status setFlags(const AttributeFlags& f);
    bool isConstant() const { return flags_.constant; }
    bool isInvisible() const { return flags_.invisible; }
    bool isPreset() const { return flags_.preset; }

    void dumpFields(DumpWriter& out) const override;

private:
    std::wstring tag_, prompt_;
    AttributeFlags flags_;
};

// An attribute owned by a block reference: a text with a tag.
class Attribute : public Text {
    ZHOST_DB_OBJECT_COPY(Attribute)
    Attribute() = default;

    ObjectType type() const override { return ObjectType::attribute; }
    const wchar_t* dxfName() const override { return L"ATTRIB"; }

    const std::wstring& tag() const { return tag_; }
    Status setTag(std::wstring_view tag);
    AttributeFlags flags() const { return flags_; }
    Status setFlags(const AttributeFlags& f);
    bool isConstant() const { return flags_.constant; }
    bool isInvisible() const { return flags_.invisible; }
    // Takes tag, flags, text properties and the default text from a definition, placed by the
    // reference's block transform.
    Status setAttributeFromBlock(const AttributeDefinition& def, const geom::Matrix3d& blockXform);

    void dumpFields(DumpWriter& out) const override;

private:
    std::wstring tag_;
    AttributeFlags flags_;
};

class BlockReference : public Entity {
    ZHOST_DB_OBJECT_COPY(BlockReference)
    BlockReference() = default;
    BlockReference(const geom::Point3d& position, ObjectId blockId)
        : position_(position), blockId_(blockId) {}

    ObjectType type() const override { return ObjectType::blockReference; }
    const wchar_t* dxfName() const override { return L"INSERT"; }

    ObjectId blockTableRecord() const { return blockId_; }
    Status setBlockTableRecord(ObjectId blockId);
    // The name of the referenced block (empty when it cannot be read).
    std::wstring blockName() const;

    geom::Point3d position() const { return position_; }
    Status setPosition(const geom::Point3d& p);
    double rotation() const { return rotation_; } // radians about the normal
    Status setRotation(double r);
    geom::Vector3d scaleFactors() const { return scale_; }
    Status setScaleFactors(const geom::Vector3d& s); // no zero component
    geom::Vector3d normal() const { return normal_; }
    Status setNormal(const geom::Vector3d& n);

    // Block coordinates to world: translate by -block origin, scale, rotate about the normal in
    // the normal's arbitrary-axis system, move to the position.
    geom::Matrix3d blockTransform() const;
    // Sets position, rotation, scale and normal from a matrix of that form; notApplicable for a
    // matrix with shear.
    Status setBlockTransform(const geom::Matrix3d& m);

    // Attributes (owned objects). Appending needs the reference in a database and open for write.
    std::vector<ObjectId> attributeIds(bool includeErased = false) const;
    Status appendAttribute(std::unique_ptr<Attribute> attr, ObjectId& outId);
    // Creates the attributes of the block's non-constant definitions with their default texts.
    Status appendAttributesFromBlock();

    // Moves, rotates and scales the reference and its attributes.
    Status transformBy(const geom::Matrix3d& m) override;
    // The block's entities transformed by the block transform; nested references stay references
    // with composed transforms; attribute definitions are dropped except constant ones, which
    // become texts. The pieces keep their own properties (layer "0" and by-block colours and
    // linetypes stay as they are, as the platform's explode leaves them).
    Status explode(std::vector<std::unique_ptr<Entity>>& out) const override;

    void collectReferences(std::vector<ObjectId>& out) const override;
    void remapReferences(const IdMapFn& map) override;
    void dumpFields(DumpWriter& out) const override;

protected:
    void dropOwnedForClone() override { attributes_.clear(); }

private:
    friend class Database;
    friend class DatabaseImpl;

    geom::Point3d position_;
    ObjectId blockId_;
    double rotation_ = 0;
    geom::Vector3d scale_{1, 1, 1};
    geom::Vector3d normal_{0, 0, 1};
    std::vector<ObjectId> attributes_;
};

} // namespace zhost::db
