#pragma once
// Symbol tables and their records: blocks, layers, linetypes, registered applications and text
// styles. Record names are unique per table and compared without case.
#include "zhost/db/object.h"
#include "zhost/geom/point3d.h"

namespace zhost::db {

class Entity;

class SymbolTableRecord : public DbObject {
public:
    const std::wstring& name() const { return name_; }
    // Renames; duplicateKey when another live record of the table has that name, invalidInput
    // for an empty name or one with the characters <>/\":;?*|,=` .
    Status setName(std::wstring_view name);
    void dumpFields(DumpWriter& out) const override;

protected:
    SymbolTableRecord() = default;
    explicit SymbolTableRecord(std::wstring name) : name_(std::move(name)) {}

private:
    std::wstring name_;
};

// Names the platform accepts for symbol table records.
bool isValidSymbolName(std::wstring_view name);

class SymbolTable : public DbObject {
public:
    // Look-up by name without case; erased records only when asked.
    Status getAt(std::wstring_view name, ObjectId& out, bool getErased = false) const;
    bool has(std::wstring_view name) const;
    bool has(ObjectId recordId) const;
    // Records in the order they were added.
    std::vector<ObjectId> recordIds(bool includeErased = false) const;
    int count(bool includeErased = false) const;
    // Adds a record; the table must be open for write and the record's class must fit the table
    // (wrongObjectType). duplicateKey for a name in use, invalidInput for a bad name.
    Status add(std::unique_ptr<SymbolTableRecord> record, ObjectId& outId);

    void collectReferences(std::vector<ObjectId>& out) const override;
    void remapReferences(const IdMapFn& map) override;
    void dumpFields(DumpWriter& out) const override;

protected:
    SymbolTable() = default;
    virtual bool accepts(const SymbolTableRecord& r) const = 0;
    void dropOwnedForClone() override { records_.clear(); }

private:
    friend class Database;
    friend class DatabaseImpl;
    std::vector<ObjectId> records_;
};

// --- Blocks --------------------------------------------------------------------------------------

class BlockTableRecord : public SymbolTableRecord {
    ZHOST_DB_OBJECT_COPY(BlockTableRecord)
    BlockTableRecord() = default;
    explicit BlockTableRecord(std::wstring name) : SymbolTableRecord(std::move(name)) {}

    ObjectType type() const override { return ObjectType::blockTableRecord; }
    const wchar_t* dxfName() const override { return L"BLOCK_RECORD"; }

    geom::Point3d origin() const { return origin_; }
    Status setOrigin(const geom::Point3d& p);
    const std::wstring& comments() const { return comments_; }
    Status setComments(std::wstring_view text);
    // DXF block flags (group 70): 1 anonymous, 2 has attribute definitions, 4 external reference,
    // ... The anonymous bit also follows from a name starting with "*".
    int flags() const { return flags_; }
    Status setFlags(int flags);
    bool isAnonymous() const;
    bool isLayout() const; // *Model_Space and *Paper_Space...
    bool hasAttributeDefinitions() const;
    // DXF units of the block (group 70 of BLOCK_RECORD; 0 unitless).
    int insertUnits() const { return insertUnits_; }
    Status setInsertUnits(int units);

    // Entities in the order they were appended (which is also the draw order unless the block's
    // sort-ents table says otherwise).
    std::vector<ObjectId> entityIds(bool includeErased = false) const;
    int entityCount(bool includeErased = false) const;
    // Appends an entity; the record must be open for write. Names the entity was given while
    // outside the database are resolved (keyNotFound when they do not exist); unset layer and
    // linetype come from the database's current ones.
    Status appendEntity(std::unique_ptr<Entity> entity, ObjectId& outId);

    // The block's draw-order table, null until one is made (Database::getSortentsTable).
    ObjectId sortentsTableId() const { return sortentsId_; }

    void collectReferences(std::vector<ObjectId>& out) const override;
    void remapReferences(const IdMapFn& map) override;
    void dumpFields(DumpWriter& out) const override;

protected:
    void dropOwnedForClone() override {
        entities_.clear();
        sortentsId_ = {};
    }

private:
    friend class Database;
    friend class DatabaseImpl;
    geom::Point3d origin_;
    std::wstring comments_;
    int flags_ = 0;
    int insertUnits_ = 0;
    std::vector<ObjectId> entities_;
    ObjectId sortentsId_;
};

class BlockTable : public SymbolTable {
    ZHOST_DB_OBJECT_COPY(BlockTable)
    ObjectType type() const override { return ObjectType::blockTable; }
    const wchar_t* dxfName() const override { return L"TABLE:BLOCK_RECORD"; }

protected:
    bool accepts(const SymbolTableRecord& r) const override;
};

// --- Layers --------------------------------------------------------------------------------------

class LayerTableRecord : public SymbolTableRecord {
    ZHOST_DB_OBJECT_COPY(LayerTableRecord)
    LayerTableRecord() = default;
    explicit LayerTableRecord(std::wstring name) : SymbolTableRecord(std::move(name)) {}

    ObjectType type() const override { return ObjectType::layerTableRecord; }
    const wchar_t* dxfName() const override { return L"LAYER"; }

    int colorIndex() const { return colorIndex_; } // 1..255
    Status setColorIndex(int index);
    // Null means Continuous (a record's linetype is set when it is added to a database).
    ObjectId linetypeId() const { return linetypeId_; }
    Status setLinetype(ObjectId id);
    std::wstring linetype() const;
    int lineWeight() const { return lineWeight_; } // default -3
    Status setLineWeight(int weight);
    bool isFrozen() const { return frozen_; }
    Status setFrozen(bool b); // the current layer cannot be frozen (notApplicable)
    bool isOff() const { return off_; }
    Status setOff(bool b);
    bool isLocked() const { return locked_; }
    Status setLocked(bool b);
    bool isPlottable() const { return plottable_; }
    Status setPlottable(bool b);
    const std::wstring& description() const { return description_; }
    Status setDescription(std::wstring_view d);

    void collectReferences(std::vector<ObjectId>& out) const override;
    void remapReferences(const IdMapFn& map) override;
    void dumpFields(DumpWriter& out) const override;

private:
    int colorIndex_ = 7;
    ObjectId linetypeId_;
    int lineWeight_ = -3;
    bool frozen_ = false, off_ = false, locked_ = false, plottable_ = true;
    std::wstring description_;
};

class LayerTable : public SymbolTable {
    ZHOST_DB_OBJECT_COPY(LayerTable)
    ObjectType type() const override { return ObjectType::layerTable; }
    const wchar_t* dxfName() const override { return L"TABLE:LAYER"; }

protected:
    bool accepts(const SymbolTableRecord& r) const override;
};

// --- Linetypes -----------------------------------------------------------------------------------

// One element of a linetype pattern: a dash (> 0), a gap (< 0) or a dot (0). A complex element
// (text or shape) keeps its bracketed definition as written in the .lin file.
struct LinetypeDash {
    double length = 0;
    std::wstring complex;
    bool operator==(const LinetypeDash&) const = default;
};

class LinetypeTableRecord : public SymbolTableRecord {
    ZHOST_DB_OBJECT_COPY(LinetypeTableRecord)
    LinetypeTableRecord() = default;
    explicit LinetypeTableRecord(std::wstring name) : SymbolTableRecord(std::move(name)) {}

    ObjectType type() const override { return ObjectType::linetypeTableRecord; }
    const wchar_t* dxfName() const override { return L"LTYPE"; }

    const std::wstring& description() const { return description_; }
    Status setDescription(std::wstring_view d);
    const std::vector<LinetypeDash>& dashes() const { return dashes_; }
    Status setDashes(std::vector<LinetypeDash> dashes);
    // The sum of the absolute dash lengths.
    double patternLength() const;

    void dumpFields(DumpWriter& out) const override;

private:
    std::wstring description_;
    std::vector<LinetypeDash> dashes_;
};

class LinetypeTable : public SymbolTable {
    ZHOST_DB_OBJECT_COPY(LinetypeTable)
    ObjectType type() const override { return ObjectType::linetypeTable; }
    const wchar_t* dxfName() const override { return L"TABLE:LTYPE"; }

protected:
    bool accepts(const SymbolTableRecord& r) const override;
};

// --- Registered applications
// ----------------------------------------------------------------------

class RegAppTableRecord : public SymbolTableRecord {
    ZHOST_DB_OBJECT_COPY(RegAppTableRecord)
    RegAppTableRecord() = default;
    explicit RegAppTableRecord(std::wstring name) : SymbolTableRecord(std::move(name)) {}
    ObjectType type() const override { return ObjectType::regAppTableRecord; }
    const wchar_t* dxfName() const override { return L"APPID"; }
};

class RegAppTable : public SymbolTable {
    ZHOST_DB_OBJECT_COPY(RegAppTable)
    ObjectType type() const override { return ObjectType::regAppTable; }
    const wchar_t* dxfName() const override { return L"TABLE:APPID"; }

protected:
    bool accepts(const SymbolTableRecord& r) const override;
};

// --- Text styles
// ----------------------------------------------------------------------------------

class TextStyleTableRecord : public SymbolTableRecord {
    ZHOST_DB_OBJECT_COPY(TextStyleTableRecord)
    TextStyleTableRecord() = default;
    explicit TextStyleTableRecord(std::wstring name) : SymbolTableRecord(std::move(name)) {}

    ObjectType type() const override { return ObjectType::textStyleTableRecord; }
    const wchar_t* dxfName() const override { return L"STYLE"; }

    const std::wstring& fileName() const { return fileName_; }
    Status setFileName(std::wstring_view f);
    const std::wstring& bigFontFileName() const { return bigFont_; }
    Status setBigFontFileName(std::wstring_view f);
    double textSize() const { return size_; } // 0: not fixed
    Status setTextSize(double s);
    double widthFactor() const { return widthFactor_; }
    Status setWidthFactor(double w);
    double obliquingAngle() const { return oblique_; }
    Status setObliquingAngle(double a);

    void dumpFields(DumpWriter& out) const override;

private:
    std::wstring fileName_ = L"txt", bigFont_;
    double size_ = 0, widthFactor_ = 1, oblique_ = 0;
};

class TextStyleTable : public SymbolTable {
    ZHOST_DB_OBJECT_COPY(TextStyleTable)
    ObjectType type() const override { return ObjectType::textStyleTable; }
    const wchar_t* dxfName() const override { return L"TABLE:STYLE"; }

protected:
    bool accepts(const SymbolTableRecord& r) const override;
};

} // namespace zhost::db
