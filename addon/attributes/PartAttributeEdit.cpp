#include "attributes/PartAttributeEdit.h"

#include "attributes/ContAtrDlg.h"

#include "zhost/core/utf.h"
#include "zhost/db/block_reference.h"
#include "zhost/db/object_ptr.h"

namespace db = zhost::db;

void LoadAtrList(PartDescription& desc) {
    LoadAtrList(desc.m_atrList);
}

bool IsAtrEditOn(const PartDescription& desc) {
    for (const CParam& param : desc.m_params) {
        if (param.Is(ControlKind::Check) && param.m_caption == kAtrEditCaption &&
            param.GetIntValue() != 0)
            return true;
    }
    return false;
}

void SetAtrDefaults(PartDescription& desc, const wchar_t* partName) {
    const std::wstring name = partName != nullptr ? partName : L"";
    const CParam* quality = desc.FindKind(ControlKind::Quality);
    FillAttributeDefaults(desc.m_atrList, partName != nullptr ? &name : nullptr,
                          quality != nullptr ? &quality->m_value : nullptr);
}

bool EditAndWriteAttributes(db::ObjectId refId, PartDescription& desc) {
    if (IsAtrEditOn(desc))
        RunContAtrDlg(desc.m_atrList);
    db::ObjectPtr<db::BlockReference> ref(refId, db::OpenMode::forWrite);
    if (!ref)
        return false;
    WriteAttributeValues(*ref, desc.m_atrList);
    return true;
}

bool ReadAttributeValues(CAtrArray& items, db::ObjectId refId) {
    db::ObjectPtr<db::BlockReference> ref(refId, db::OpenMode::forRead);
    if (!ref)
        return false;
    ReadAttributeValues(items, *ref);
    return true;
}
