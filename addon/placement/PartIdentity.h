#pragma once
// Everything the placement run calls to give a placed part its identity and attributes, in the
// order it calls them:
//
//   LoadAtrList(desc);                                  once per run: the attribute items
//   RecognizePart(id, name, origin, drawing);           edit: the picked part
//   ReadBackPart(desc, id);                             edit: its choices and attribute values
//   AddAttributeDefinitions(blockId, desc.m_atrList);   the new static part block
//   IsAtrEditOn(desc);                                  is the attribute step asked for?
//   WritePartRecord(desc, ref);                         the placed reference, open for writing
//   SetAtrDefaults(desc, name or nullptr);              NAME and MATERIAL
//   RecordedQualityChanged(editedId, desc);             edit: does MATERIAL take the new value?
//   EditAndWriteAttributes(refId, desc);                dialog when asked, then the attributes
#include "attributes/PartAttributeEdit.h"
#include "placement/PartRecognition.h"
#include "placement/PartRecord.h"
