// The part-contents body. ZORMA_CONT places new parts chosen from the library, as many copies
// as the user drags; ZORMA_CONT_EDIT picks a placed part, reopens its conditions and places it
// again in its stead. The ordinal entry point runs the same body for other modules.
#include "frame/CommandBodies.h"
#include "frame/RegSwitches.h"
#include "hide/AutoPurgeLayers.h"
#include "library/CatalogueList.h"
#include "library/LibraryPaths.h"
#include "placement/PartChoice.h"
#include "placement/PartGeometry.h"
#include "placement/PartsContentsRun.h"

#include "zhost/core/utf.h"
#include "zhost/editor/editor.h"

namespace ed = zhost::ed;

namespace {

// The display name the catalogue gives the part: the first item with its file base name.
std::wstring CatalogueDisplayName(const std::vector<CatalogueGroup>& groups,
                                  const std::wstring& fileBaseName) {
    for (const CatalogueGroup& g : groups) {
        for (const CatalogueItem& item : g.m_items) {
            if (zhost::equalsNoCase(item.m_fileBaseName, fileBaseName))
                return item.m_displayName;
        }
    }
    return {};
}

// Edit mode: which part the picked reference is, by the catalogue.
bool IdentifyEditedPart(CPartsContentsRun& run, const CLibraryPaths& paths) {
    std::vector<CatalogueGroup> groups;
    if (ReadCatalogueList(groups, paths.m_catalogueFile, paths.m_symbolsFolder, false) != 0) {
        if (!RecognizePart(run.m_partId, run.m_fileBaseName, run.m_origin, run.m_drawingNumber))
            return false;
    }
    run.m_displayName = CatalogueDisplayName(groups, run.m_fileBaseName);
    return true;
}

void RunPartsContents(PartsContentsMode mode) {
    CPartsContentsRun run;
    run.m_mode = mode;
    run.m_debug = IsShowDebugInfo();
    if (run.m_debug)
        PrintBlockDefinitions();

    CLibraryPaths paths;
    if (!GetLibraryPaths(paths) || paths.m_catalogueFile.empty()) {
        ed::printf(L"\nnot found [%s].", kCatalogueFileName);
        return;
    }

    if (run.IsEdit()) {
        PartOrigin lastOrigin = PartOrigin::None;
        if (!PickPlacedPart(run, lastOrigin)) {
            if (lastOrigin == PartOrigin::Legacy || lastOrigin == PartOrigin::NumberedCopy)
                ed::print(L"\n対応する部品が未提供のため、編集できません。");
            return;
        }
    }

    // The category layers made below are the run's own too: a run that ends early, or a
    // placement that draws nothing on some category, leaves none of them behind unused.
    CAutoPurgeLayers layers;
    PartDescription& desc = run.m_desc;
    desc.m_layers = CLayerSettings();
    desc.m_drawingNumber = 1;
    desc.SetLibraryRoot(paths.m_root);
    ReadLayerSettings(desc.m_layers);
    CategoryLayerIds layerIds;
    EnsureCategoryLayers(desc.m_layers, true, layerIds);

    if (run.IsEdit()) {
        if (!IdentifyEditedPart(run, paths))
            return;
    } else {
        if (!ChoosePart(ed::isShiftDown(), paths, run.m_fileBaseName, run.m_displayName))
            return;
        run.m_origin = PartOrigin::PartsContents;
    }

    if (run.m_fileBaseName.empty()) {
        ed::printf(L"\n選択シンボル[%s][%s]に対応する部品が判別できません。", run.m_fileBaseName,
                   run.m_displayName);
        return;
    }
    if (desc.Load(run.m_fileBaseName) <= 0) {
        ed::printf(L"\n設定ファイル[%s]の読み込みに失敗しました。", run.m_fileBaseName);
        return;
    }
    LoadAtrList(desc);
    if (run.IsEdit() && run.m_partId.isValid())
        ReadBackPart(desc, run.m_partId);

    if (!ChooseConditions(desc, run.m_displayName, run.m_drawingNumber, run.IsEdit()))
        return;

    const std::vector<zhost::db::ObjectId> blocksBefore = SnapshotBlockDefinitions();
    PlacePart(run);
    if (run.m_debug)
        ed::print(L"\n------------\n新たに増えたブロック定義のうち、不要なブロック定義を消す");
    EraseNewUnreferencedBlocks(blocksBefore, run.m_debug);
}

} // namespace

void ZormaContMain(PartsContentsMode mode) {
    // Nothing may escape into the host's command loop; what could not be done is left as the
    // scope guards restore it.
    try {
        RunPartsContents(mode);
    } catch (...) {
    }
}
