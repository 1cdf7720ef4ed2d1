#pragma once
// Helpers of the dialog framework's tests: a transcript catcher, a scripted backend for popup
// menus, and small dialog templates.
#include "support/session.h"
#include "support/temp_folder.h"

#include "zhost/editor/input.h"
#include "zhost/editor/output.h"
#include "zhost/editor/session.h"
#include "zhost/settings/product.h"
#include "zhost/ui/backend.h"
#include "zhost/ui/dialog.h"
#include "zhost/ui/menu.h"
#include "zhost/ui/services.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace uitest {

// The editor's transcript and queued answers come from the shared harness.
using Transcript = ztest::CapturedTranscript;
using ScriptInput = ztest::QueuedInput;

// A backend for tests: popup menus answer with the queued choices (0 when none is left) and
// are counted; dialogs end at once with the queued end code.
class TestBackend : public zhost::ui::Backend {
public:
    std::vector<int> menuChoices;
    int menusShown = 0;
    std::vector<std::vector<std::vector<int>>> menuColumns;
    std::vector<std::wstring> boxes;

    void runModalLoop(zhost::ui::Dialog& d) override { d.endDialog(zhost::ui::idCancel); }
    int trackPopupMenu(zhost::ui::Menu& menu, zhost::ui::Point, zhost::ui::Dialog*) override {
        ++menusShown;
        menuColumns.push_back(menu.columns());
        if (menuChoices.empty())
            return 0;
        const int c = menuChoices.front();
        menuChoices.erase(menuChoices.begin());
        return c;
    }
    void showMessageBox(std::wstring_view text, std::wstring_view) override {
        boxes.emplace_back(text);
    }
};

// Installs a TestBackend for the life of the object.
class BackendScope {
public:
    BackendScope() {
        auto b = std::make_unique<TestBackend>();
        backend_ = b.get();
        zhost::ui::setBackend(std::move(b));
    }
    ~BackendScope() { zhost::ui::setBackend(nullptr); }
    TestBackend& operator*() { return *backend_; }
    TestBackend* operator->() { return backend_; }

private:
    TestBackend* backend_;
};

// A per-user folder of its own for the life of the object.
class UserFolder {
public:
    UserFolder() { zhost::settings::setUserFolder(folder_.path()); }
    const std::filesystem::path& path() const { return folder_.path(); }

private:
    ztest::TempFolder folder_;
};

inline zhost::ui::ControlTemplate ctl(int id, zhost::ui::ControlKind kind, std::wstring text,
                                      zhost::ui::Rect du, std::uint32_t extraStyle = 0) {
    using namespace zhost::ui;
    return ControlTemplate{id, kind, std::move(text), ws::child | ws::visible | extraStyle, du, 0};
}

} // namespace uitest
