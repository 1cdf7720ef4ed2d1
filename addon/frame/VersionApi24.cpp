// Version exports of the build for host API 24.
#include "zhost/rx/app.h"

namespace {
void WriteVersion(int* out[4], const int (&version)[4]) {
    for (int i = 0; i < 4; ++i)
        if (out[i] != nullptr)
            *out[i] = version[i];
}
} // namespace

ZHOST_ADDON_EXPORT void acrxGetApiVersion(int* major, int* minor, int* patch, int* build) {
    int* out[4] = {major, minor, patch, build};
    WriteVersion(out, {24, 1, 5, 0});
}

ZHOST_ADDON_EXPORT int odrxGetAPIVersion(int* major, int* minor, int* patch, int* build) {
    int* out[4] = {major, minor, patch, build};
    WriteVersion(out, {24, 2, 0, 0});
    return 0;
}
