#pragma once
// The device context's way into the preview cache (zhost/ui/preview_cache.h).
#include "zhost/ui/device_context.h"

#include <string_view>

namespace zhost::ui::detail {

// Renders through `renderer` into `image` (sized to the target rectangle), or copies the picture
// the current cache keeps for the same file, size, mode and flags. False when the drawing cannot
// be drawn (remembered as well).
bool renderPreviewCached(std::wstring_view file, Bitmap& image, int mode, int flags,
                         const PreviewRenderer& renderer);

} // namespace zhost::ui::detail
