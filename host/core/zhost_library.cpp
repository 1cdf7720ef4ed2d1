// libzhost.so is assembled from the module archives; this file only gives the shared library a
// translation unit of its own and the version that the zorma program reports.
#include "zhost/core/version.h"

namespace zhost {
const char* versionString() {
    return "0.1.0";
}
} // namespace zhost
