#include "geomcalc/GeomCalcTypes.h"

namespace {

struct ItemInfo {
    int maskBit;
    int checkBox;
    const wchar_t* label;
};

constexpr ItemInfo kItems[kItemCount] = {
    {0, 112, L"モーメント計算指示座標"},
    {1, 113, L"周長"},
    {2, 109, L"面積"},
    {3, 118, L"回転体体積"},
    {4, 119, L"回転体重さ"},
    {6, 111, L"重心位置(指示点基準)"},
    {5, 110, L"重心位置(赤色点)"},
    {7, 116, L"断面2次モーメント(重心基準)"},
    {8, 114, L"Ip = Ix + Iy"},
    {9, 117, L"断面2次モーメント(指示点基準)"},
    {10, 115, L"Ip = Ix + Iy"},
};

} // namespace

int ItemMaskBit(int item) {
    return kItems[item].maskBit;
}

int ItemCheckBoxId(int item) {
    return kItems[item].checkBox;
}

const wchar_t* ItemLabel(int item) {
    return kItems[item].label;
}

ItemFlags ItemFlags::All() {
    ItemFlags f;
    f.on.fill(true);
    return f;
}

ItemFlags ItemFlags::FromMask(int mask) {
    ItemFlags f;
    for (int i = 0; i < kItemCount; ++i)
        f[i] = (mask >> ItemMaskBit(i) & 1) != 0;
    return f;
}

int ItemFlags::ToMask() const {
    int mask = 0;
    for (int i = 0; i < kItemCount; ++i)
        if ((*this)[i])
            mask |= 1 << ItemMaskBit(i);
    return mask;
}

bool ItemFlags::Any() const {
    for (bool b : on)
        if (b)
            return true;
    return false;
}

bool ItemFlags::NeedsReferencePoint() const {
    for (int i : {kItemRefPoint, kItemVolume, kItemWeight, kItemCentroidRel, kItemMomentCentroid,
                  kItemPolarCentroid, kItemMomentRef, kItemPolarRef})
        if ((*this)[i])
            return true;
    return false;
}

bool IsGroupSeparator(const BoundaryCurveSet& set) {
    return set.size() == 1 && set.front().isNull();
}

BoundaryCurveSet GroupSeparator() {
    return BoundaryCurveSet{zhost::db::ObjectId::null()};
}
