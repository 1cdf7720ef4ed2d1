// The preview cache: pictures rendered once per file, size, mode and flags while a cache lives,
// failures remembered, and every call rendered again outside any cache.
#include "zhost/ui/device_context.h"
#include "zhost/ui/preview_cache.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace ui = zhost::ui;

namespace {

// A renderer that counts its calls per file and paints a colour of the file's own; "bad" files
// cannot be drawn.
class PreviewCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::setPreviewRenderer([this](std::wstring_view file, ui::Bitmap& into, int, int flags) {
            ++m_calls[std::wstring(file)];
            if (file.starts_with(L"bad"))
                return false;
            const std::uint32_t argb = 0xFF000000u | (file.size() * 40u) | (unsigned(flags) << 8);
            for (int y = 0; y < into.height(); ++y)
                for (int x = 0; x < into.width(); ++x)
                    into.setPixel(x, y, argb);
            return true;
        });
    }
    void TearDown() override { ui::setPreviewRenderer({}); }

    bool Draw(const std::wstring& file, ui::Rect r = {0, 0, 20, 10}, int flags = 3) {
        ui::DeviceContext dc(m_target);
        return dc.drawPreview(file, r, 2, flags);
    }

    std::map<std::wstring, int> m_calls;
    ui::Bitmap m_target{40, 40};
};

} // namespace

TEST_F(PreviewCacheTest, WithoutACacheEveryPreviewIsRendered) {
    EXPECT_TRUE(Draw(L"a.dwg"));
    EXPECT_TRUE(Draw(L"a.dwg"));
    EXPECT_EQ(m_calls[L"a.dwg"], 2);
    EXPECT_EQ(ui::PreviewCache::current(), nullptr);
}

TEST_F(PreviewCacheTest, ACacheRendersOncePerFileSizeAndFlags) {
    ui::PreviewCache cache;
    ASSERT_TRUE(Draw(L"a.dwg"));
    const ui::Bitmap first = m_target;
    m_target = ui::Bitmap(40, 40);
    ASSERT_TRUE(Draw(L"a.dwg"));
    EXPECT_EQ(m_target, first); // the kept picture is the same picture
    EXPECT_EQ(m_calls[L"a.dwg"], 1);
    EXPECT_TRUE(Draw(L"a.dwg", {5, 5, 25, 15})); // same size elsewhere: kept
    EXPECT_EQ(m_calls[L"a.dwg"], 1);
    EXPECT_TRUE(Draw(L"a.dwg", {0, 0, 30, 10}));     // another size
    EXPECT_TRUE(Draw(L"a.dwg", {0, 0, 20, 10}, 15)); // other flags
    EXPECT_TRUE(Draw(L"bb.dwg"));
    EXPECT_EQ(m_calls[L"a.dwg"], 3);
    EXPECT_EQ(cache.pictureCount(), 4u);
    EXPECT_EQ(cache.renderCount(), 4u);
    EXPECT_EQ(cache.hitCount(), 2u);
}

TEST_F(PreviewCacheTest, ADrawingThatCannotBeDrawnIsNotReadAgain) {
    ui::PreviewCache cache;
    EXPECT_FALSE(Draw(L"bad.dwg"));
    EXPECT_FALSE(Draw(L"bad.dwg"));
    EXPECT_EQ(m_calls[L"bad.dwg"], 1);
    EXPECT_EQ(m_target.pixel(1, 1), ui::Bitmap(1, 1).pixel(0, 0)); // left as it was
    cache.clear();
    EXPECT_FALSE(Draw(L"bad.dwg"));
    EXPECT_EQ(m_calls[L"bad.dwg"], 2);
}

TEST_F(PreviewCacheTest, InnerCacheServesItsScopeAndTheOuterOneComesBack) {
    ui::PreviewCache outer;
    Draw(L"a.dwg");
    {
        ui::PreviewCache inner;
        EXPECT_EQ(ui::PreviewCache::current(), &inner);
        Draw(L"a.dwg");
        Draw(L"a.dwg");
        EXPECT_EQ(inner.renderCount(), 1u);
    }
    EXPECT_EQ(ui::PreviewCache::current(), &outer);
    Draw(L"a.dwg");
    EXPECT_EQ(outer.renderCount(), 1u);
    EXPECT_EQ(outer.hitCount(), 1u);
    EXPECT_EQ(m_calls[L"a.dwg"], 2);
}
