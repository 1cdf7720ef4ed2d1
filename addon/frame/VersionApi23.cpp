// Version exports of the build for host API 23: both names are one function.
#include "zhost/rx/app.h"

ZHOST_ADDON_EXPORT int odrxGetAPIVersion(int* major, int* minor, int* patch, int* build) {
    int* out[4] = {major, minor, patch, build};
    const int version[4] = {23, 2, 0, 0};
    for (int i = 0; i < 4; ++i)
        if (out[i] != nullptr)
            *out[i] = version[i];
    return 0;
}

// The host calls this name through a pointer without result and ignores the register the
// result comes back in, so one function serves both signatures.
ZHOST_ADDON_EXPORT int acrxGetApiVersion(int* major, int* minor, int* patch, int* build)
    __attribute__((alias("odrxGetAPIVersion")));
