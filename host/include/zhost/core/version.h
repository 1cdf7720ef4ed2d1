#pragma once

namespace zhost {
// The host's own version (not the add-on API version it serves).
const char* versionString();
} // namespace zhost
