#pragma once
// The drawing scale for the result table, taken from the title block placed in model space: the
// X scale of the first block reference that one of the rules of "Zorma_Zuwaku.ini" (section
// "TitleBlock") recognises.
#include <string>
#include <vector>

namespace zhost::db {
class Database;
}

// One rule: wildcard patterns (without case) for the block name and the reference's layer;
// an empty pattern matches anything.
struct TitleBlockRule {
    std::wstring block;
    std::wstring layer;
};

// Reads the rules ("ItemCount", "%d_block", "%d_layer"); rules with both patterns empty are
// dropped. Returns the number of rules kept; 0 when the ini file, its section or the count is
// missing.
int ReadTitleBlockRules(std::vector<TitleBlockRule>& rules);

// Whether a reference of block `blockName` on layer `layerName` is a title block by the rules.
bool MatchesTitleBlockRules(const std::vector<TitleBlockRule>& rules, const std::wstring& blockName,
                            const std::wstring& layerName);

// The X scale factor of the first model-space reference (in drawing order) that matches a rule;
// 1.0 when there is none.
double TitleBlockScale(zhost::db::Database& db, const std::vector<TitleBlockRule>& rules);
// The same with the rules from the product's ini file.
double TitleBlockScale(zhost::db::Database& db);
