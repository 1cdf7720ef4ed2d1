#include "placement/PartRecognition.h"

#include "frame/RegSwitches.h"
#include "library/LibraryPaths.h"
#include "placement/LegacyCode.h"
#include "placement/PartCandidates.h"
#include "placement/PartRecord.h"

#include "zhost/core/utf.h"
#include "zhost/core/wildcard.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/output.h"

namespace db = zhost::db;

namespace {

// The hidden-line treatment names its variants "%s_A%d"; any text may follow the first digit.
constexpr const wchar_t* kNumberedEndingPattern = L"_A#*";

bool IsLayoutName(const std::wstring& name) {
    return zhost::equalsNoCase(name, L"*Model_Space") ||
           (name.size() >= 12 &&
            zhost::equalsNoCase(std::wstring_view(name).substr(0, 12), L"*Paper_Space"));
}

// The first block definition whose name matches the pattern (without case), layouts left out.
db::ObjectId FindDefinitionMatching(db::Database& database, const std::wstring& pattern) {
    db::ObjectPtr<db::BlockTable> table(database.blockTableId(), db::OpenMode::forRead);
    if (!table)
        return {};
    for (db::ObjectId id : table->recordIds()) {
        db::ObjectPtr<db::BlockTableRecord> block(id, db::OpenMode::forRead);
        if (block && !IsLayoutName(block->name()) && zhost::wcMatch(block->name(), pattern))
            return id;
    }
    return {};
}

// The symbol code a definition of the earlier library carries: the first value of its
// "SymbolBlock" data when that is a text.
std::wstring ReadSymbolCode(db::ObjectId blockId) {
    db::ObjectPtr<db::BlockTableRecord> block(blockId, db::OpenMode::forRead);
    if (!block)
        return {};
    const db::XData data = block->xdata(kSymbolBlockApp);
    if (data.size() < 2)
        return {};
    return data[1].code == db::xcode::string ? data[1].str() : std::wstring();
}

// Steps for a reference without a usable part record: the definition to read the code from,
// or null when the reference is not a part. Sets the origin on the way.
db::ObjectId FindLegacyDefinition(const db::BlockReference& ref, PartOrigin& origin) {
    const std::wstring name = ref.blockName();
    if (name.empty())
        return {};
    bool stripped = false;
    const std::wstring base = StripNumberedEndings(name, stripped);
    if (stripped) {
        origin = PartOrigin::NumberedCopy;
        db::Database* database = ref.database();
        return database != nullptr ? FindDefinitionMatching(*database, base) : db::ObjectId();
    }
    if (!ref.hasXData(kLegacyPartApp))
        return {};
    origin = PartOrigin::Legacy;
    return ref.blockTableRecord();
}

} // namespace

bool IsNumberedEnding(const std::wstring& blockName) {
    const size_t at = blockName.rfind(L'_');
    return at != std::wstring::npos &&
           zhost::wcMatch(std::wstring_view(blockName).substr(at), kNumberedEndingPattern);
}

std::wstring StripNumberedEndings(const std::wstring& blockName, bool& stripped) {
    std::wstring name = blockName;
    stripped = false;
    while (IsNumberedEnding(name)) {
        name.resize(name.rfind(L'_'));
        stripped = true;
    }
    return name;
}

bool RecognizePartWithCatalogue(db::ObjectId id, const std::wstring& catalogueFile,
                                std::wstring& fileBaseName, PartOrigin& origin,
                                int& drawingNumber) {
    fileBaseName.clear();
    origin = PartOrigin::None;
    drawingNumber = -1;
    db::ObjectPtr<db::BlockReference> ref(id, db::OpenMode::forRead);
    if (!ref)
        return false;

    // A record without its file name cannot name a part; the reference is then judged by its
    // other markings like any other.
    const std::wstring recorded = GetPartRecordFileName(ref->xdata(kPartRecordApp));
    if (!recorded.empty()) {
        fileBaseName = recorded;
        origin = IsNumberedEnding(ref->blockName()) ? PartOrigin::NumberedCopy
                                                    : PartOrigin::PartsContents;
        return true;
    }

    const db::ObjectId definition = FindLegacyDefinition(*ref, origin);
    ref.close();
    if (definition.isNull())
        return false;
    const std::wstring code = StripJisPrefix(ReadSymbolCode(definition));
    if (code.empty())
        return false;
    int candidateIndex = -1;
    if (!DecodeLegacySymbolCode(code, drawingNumber, candidateIndex))
        return false;
    ChooseCandidate(FindCatalogueCandidates(catalogueFile, code), candidateIndex, fileBaseName);
    if (IsShowDebugInfo())
        zhost::ed::printf(L"\n%d:%s", drawingNumber, fileBaseName);
    return !fileBaseName.empty();
}

bool RecognizePart(db::ObjectId id, std::wstring& fileBaseName, PartOrigin& origin,
                   int& drawingNumber) {
    CLibraryPaths paths;
    GetLibraryPaths(paths); // without a catalogue the path stays empty: no candidates
    return RecognizePartWithCatalogue(id, paths.m_catalogueFile, fileBaseName, origin,
                                      drawingNumber);
}
