#include "geomcalc/TitleBlock.h"

#include "frame/SettingsLib.h"

#include "zhost/core/wildcard.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/database.h"
#include "zhost/db/object_ptr.h"
#include "zhost/db/symbol_tables.h"
#include "zhost/editor/format.h"

namespace db = zhost::db;

int ReadTitleBlockRules(std::vector<TitleBlockRule>& rules) {
    rules.clear();
    CProductIni ini(L"Zorma_Zuwaku.ini");
    if (!ini.IsOpen() || !ini.SelectSection(L"TitleBlock"))
        return 0;
    int count = 0;
    if (!ini.GetInt(L"ItemCount", count))
        return 0;
    for (int i = 0; i < count; ++i) {
        TitleBlockRule rule;
        ini.GetString(zhost::ed::format(L"%d_block", i).c_str(), rule.block);
        ini.GetString(zhost::ed::format(L"%d_layer", i).c_str(), rule.layer);
        if (!rule.block.empty() || !rule.layer.empty())
            rules.push_back(std::move(rule));
    }
    return int(rules.size());
}

bool MatchesTitleBlockRules(const std::vector<TitleBlockRule>& rules, const std::wstring& blockName,
                            const std::wstring& layerName) {
    for (const TitleBlockRule& rule : rules) {
        if (!rule.block.empty() && !zhost::wcMatch(blockName, rule.block, true))
            continue;
        if (rule.layer.empty() || zhost::wcMatch(layerName, rule.layer, true))
            return true;
    }
    return false;
}

double TitleBlockScale(db::Database& database, const std::vector<TitleBlockRule>& rules) {
    if (rules.empty())
        return 1.0;
    db::ObjectPtr<db::BlockTableRecord> model(database.modelSpaceId(), db::OpenMode::forRead);
    if (!model)
        return 1.0;
    for (db::ObjectId id : model->entityIds()) {
        db::ObjectPtr<db::BlockReference> ref(id, db::OpenMode::forRead);
        if (!ref)
            continue;
        // A dynamic block's reference is matched by the block it references, which may be an
        // anonymous variant.
        const std::wstring name = ref->blockName();
        if (name.empty())
            continue;
        if (MatchesTitleBlockRules(rules, name, ref->layer()))
            return ref->scaleFactors().x;
    }
    return 1.0;
}

double TitleBlockScale(db::Database& database) {
    std::vector<TitleBlockRule> rules;
    ReadTitleBlockRules(rules);
    return TitleBlockScale(database, rules);
}
