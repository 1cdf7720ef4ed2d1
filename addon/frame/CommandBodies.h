#pragma once
// The bodies of the six commands. A command typed at the prompt and an entry point called by
// ordinal from another module of the product family run the same body, so each handler in the
// command table does nothing but call one of these. Each body lives in the folder of its
// subsystem.

// How the part-contents body runs.
enum PartsContentsMode {
    kPartsContentsNew = 0,  // ZORMA_CONT: choose parts from the library and place them
    kPartsContentsEdit = 1, // ZORMA_CONT_EDIT: pick a placed part and place it again changed
};

// placement/: ZORMA_CONT and ZORMA_CONT_EDIT.
void ZormaContMain(PartsContentsMode mode);
// geomcalc/: ZORMA_GEOMCALC.
void ZormaGeomCalcMain();
// hide/: ZORMA_HIDE and ZORMA_HIDE_RESTORE.
void ZormaHideMain();
void ZormaHideRestoreMain();
// attributes/: KORU_ATTACH_PC_XDATA.
void KoruAttachPcXdataMain();
