// The library's exported entry points, apart from the version exports (VersionApi24.cpp and
// VersionApi23.cpp, one of which each plug-in build links). Everything else in the library is
// hidden from the host.
#include "frame/CommandBodies.h"
#include "frame/JigTestApp.h"

#include "zhost/rx/app.h"

ZHOST_ADDON_EXPORT int acrxEntryPoint(int message, void* packet) {
    return GetJigTestApp().EntryPoint(message, packet);
}

// A loader of the product family calls these two around its own start-up and shut-down; this
// plug-in needs nothing from them, so both names are one function that does nothing.
ZHOST_ADDON_EXPORT void VortaInitApplication() {}
ZHOST_ADDON_EXPORT void VortaUnloadApplication() __attribute__((alias("VortaInitApplication")));

// Entry points for other modules of the product family (ordinals on the platform).
ZHOST_ORDINAL_EXPORT(1000) {
    ZormaHideMain();
}
ZHOST_ORDINAL_EXPORT(1001) {
    ZormaHideRestoreMain();
}
ZHOST_ORDINAL_EXPORT(1002) {
    ZormaContMain(kPartsContentsNew);
}
ZHOST_ORDINAL_EXPORT(1003) {
    KoruAttachPcXdataMain();
}
