// The preview cache: pictures by file, size, mode and flags for the life of a scope.
#include "zhost/ui/preview_cache.h"

#include "preview_cache_impl.h"

#include <map>
#include <string>
#include <tuple>

namespace zhost::ui {
namespace {

PreviewCache*& currentCache() {
    static PreviewCache* cache = nullptr;
    return cache;
}

} // namespace

struct PreviewCache::Impl {
    using Key = std::tuple<std::wstring, int, int, int, int>;
    struct Entry {
        bool drawn = false;
        Bitmap picture;
    };
    std::map<Key, Entry> pictures;
    std::size_t renders = 0;
    std::size_t hits = 0;
};

PreviewCache::PreviewCache() : impl_(std::make_unique<Impl>()), previous_(currentCache()) {
    currentCache() = this;
}

PreviewCache::~PreviewCache() {
    // Scopes end in reverse order of their start; a cache that is not the current one (moved
    // out of order by a caller's mistake) just leaves the chain as it is.
    if (currentCache() == this)
        currentCache() = previous_;
}

std::size_t PreviewCache::pictureCount() const {
    return impl_->pictures.size();
}
std::size_t PreviewCache::renderCount() const {
    return impl_->renders;
}
std::size_t PreviewCache::hitCount() const {
    return impl_->hits;
}
void PreviewCache::clear() {
    impl_->pictures.clear();
}

PreviewCache* PreviewCache::current() {
    return currentCache();
}

namespace detail {

bool renderPreviewCached(std::wstring_view file, Bitmap& image, int mode, int flags,
                         const PreviewRenderer& renderer) {
    PreviewCache* cache = PreviewCache::current();
    if (cache == nullptr)
        return renderer(file, image, mode, flags);
    PreviewCache::Impl& c = cache->impl();
    PreviewCache::Impl::Key key{std::wstring(file), image.width(), image.height(), mode, flags};
    if (auto it = c.pictures.find(key); it != c.pictures.end()) {
        ++c.hits;
        if (it->second.drawn)
            image = it->second.picture;
        return it->second.drawn;
    }
    ++c.renders;
    PreviewCache::Impl::Entry& e = c.pictures[key];
    e.drawn = renderer(file, image, mode, flags);
    if (e.drawn)
        e.picture = image;
    return e.drawn;
}

} // namespace detail
} // namespace zhost::ui
