#pragma once
// The popup menu of the test add-on's dialog, shared with the tests that find its items on the
// screen: Copy, a separator, Paste (greyed), More > {Alpha, Beta}, Zoom.
#include "zhost/ui/menu.h"

#include <memory>

inline std::unique_ptr<zhost::ui::Menu> WidgetsMenu() {
    using namespace zhost::ui;
    MenuTemplateItem more{
        0, L"&More", mf::popup, {{1011, L"&Alpha", 0, {}}, {1012, L"&Beta", 0, {}}}};
    return Menu::fromTemplate({{1001, L"&Copy", 0, {}},
                               {0, L"", mf::separator, {}},
                               {1002, L"&Paste", mf::grayed, {}},
                               more,
                               {1003, L"&Zoom", 0, {}}});
}
