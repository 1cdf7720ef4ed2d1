#pragma once
// Rendered drawing previews kept for the life of a scope. A dialog that shows the same symbol
// drawings again and again (a catalogue's cells while it scrolls, the picture menu each time it
// opens) holds one PreviewCache: while it lives, every preview drawn through a DeviceContext is
// rendered once per file, size, mode and flags, and later calls copy the kept picture. A drawing
// that could not be drawn is remembered as such too, so a missing or broken file is not read
// again either. Scopes nest: the innermost one is used and the outer one is back when it ends.
#include <cstddef>
#include <memory>

namespace zhost::ui {

class PreviewCache {
public:
    PreviewCache();
    ~PreviewCache();
    PreviewCache(const PreviewCache&) = delete;
    PreviewCache& operator=(const PreviewCache&) = delete;

    // Pictures kept (drawings that failed count as one each).
    std::size_t pictureCount() const;
    // How often a drawing was rendered, and how often a kept picture was used instead.
    std::size_t renderCount() const;
    std::size_t hitCount() const;
    // Forgets every picture (the counters stay).
    void clear();

    // The cache in force (null outside every scope).
    static PreviewCache* current();

    struct Impl;
    Impl& impl() { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
    PreviewCache* previous_ = nullptr;
};

} // namespace zhost::ui
