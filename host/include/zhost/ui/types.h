#pragma once
// Value types and constants of the dialog framework. Numbers that the add-on's code compares
// with (end codes, window and control styles, notification codes, key codes, colours as
// 0x00BBGGRR) keep the values of the platform's window system, so add-on code reads as it would
// there and its tests of style bits mean the same.
#include <cstdint>
#include <string>

namespace zhost::ui {

struct Point {
    int x = 0;
    int y = 0;
    constexpr bool operator==(const Point&) const = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    constexpr bool operator==(const Size&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool empty() const { return right <= left || bottom <= top; }
    constexpr bool contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr Point topLeft() const { return {left, top}; }
    constexpr Rect offset(int dx, int dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    constexpr Rect inflate(int dx, int dy) const {
        return {left - dx, top - dy, right + dx, bottom + dy};
    }
    constexpr Rect deflate(int dx, int dy) const { return inflate(-dx, -dy); }
    static constexpr Rect fromSize(int x, int y, int cx, int cy) { return {x, y, x + cx, y + cy}; }
    constexpr bool operator==(const Rect&) const = default;
};

// The union of two rectangles; an empty one does not count.
Rect unionRect(const Rect& a, const Rect& b);

// A colour as the platform writes it: red in the low byte (0x00BBGGRR).
using Color = std::uint32_t;
constexpr Color rgb(int r, int g, int b) {
    return Color(r & 0xFF) | (Color(g & 0xFF) << 8) | (Color(b & 0xFF) << 16);
}
constexpr int redOf(Color c) {
    return int(c & 0xFF);
}
constexpr int greenOf(Color c) {
    return int((c >> 8) & 0xFF);
}
constexpr int blueOf(Color c) {
    return int((c >> 16) & 0xFF);
}

// System colours of the host's (light) scheme.
enum class SysColor {
    window,
    windowText,
    buttonFace,
    buttonText,
    grayText,
    highlight,
    highlightText,
    inactiveBorder,
    menu,
    menuText,
    buttonShadow,
    buttonHighlight,
};
Color sysColor(SysColor which);

// End codes of modal runs and message boxes.
inline constexpr int idOk = 1;
inline constexpr int idCancel = 2;

// Window styles.
namespace ws {
inline constexpr std::uint32_t child = 0x40000000;
inline constexpr std::uint32_t visible = 0x10000000;
inline constexpr std::uint32_t disabled = 0x08000000;
inline constexpr std::uint32_t border = 0x00800000;
inline constexpr std::uint32_t vscroll = 0x00200000;
inline constexpr std::uint32_t hscroll = 0x00100000;
inline constexpr std::uint32_t group = 0x00020000;
inline constexpr std::uint32_t tabStop = 0x00010000;
} // namespace ws

// Button styles (the low four bits are the button type).
namespace bs {
inline constexpr std::uint32_t pushButton = 0x0;
inline constexpr std::uint32_t defPushButton = 0x1;
inline constexpr std::uint32_t checkBox = 0x2;
inline constexpr std::uint32_t autoCheckBox = 0x3;
inline constexpr std::uint32_t radioButton = 0x4;
inline constexpr std::uint32_t groupBox = 0x7;
inline constexpr std::uint32_t autoRadioButton = 0x9;
inline constexpr std::uint32_t ownerDraw = 0xB;
inline constexpr std::uint32_t typeMask = 0xF;
inline constexpr std::uint32_t pushLike = 0x1000;
} // namespace bs

// List box, combo box and edit styles.
namespace lbs {
inline constexpr std::uint32_t notify = 0x1;
inline constexpr std::uint32_t sort = 0x2;
inline constexpr std::uint32_t ownerDrawFixed = 0x10;
inline constexpr std::uint32_t hasStrings = 0x40;
inline constexpr std::uint32_t multiColumn = 0x200;
} // namespace lbs
namespace cbs {
inline constexpr std::uint32_t simple = 0x1;
inline constexpr std::uint32_t dropDown = 0x2;
inline constexpr std::uint32_t dropDownList = 0x3;
inline constexpr std::uint32_t sort = 0x100;
} // namespace cbs
namespace es {
inline constexpr std::uint32_t number = 0x2000;
inline constexpr std::uint32_t readOnly = 0x0800;
inline constexpr std::uint32_t multiLine = 0x0004;
} // namespace es
namespace ss { // statics
inline constexpr std::uint32_t center = 0x1;
inline constexpr std::uint32_t right = 0x2;
inline constexpr std::uint32_t bitmap = 0xE;
inline constexpr std::uint32_t notify = 0x100;
inline constexpr std::uint32_t sunken = 0x1000;
} // namespace ss
namespace lvs {
inline constexpr std::uint32_t report = 0x1;
inline constexpr std::uint32_t singleSel = 0x4;
inline constexpr std::uint32_t showSelAlways = 0x8;
} // namespace lvs
namespace lvsEx {
inline constexpr std::uint32_t gridLines = 0x1;
inline constexpr std::uint32_t fullRowSelect = 0x20;
} // namespace lvsEx

// Notification codes carried by command messages and notify messages.
namespace bn {
inline constexpr int clicked = 0;
inline constexpr int doubleClicked = 5;
} // namespace bn
namespace lbn {
inline constexpr int selChange = 1;
inline constexpr int dblClk = 2;
} // namespace lbn
namespace cbn {
inline constexpr int selChange = 1;
inline constexpr int editChange = 5;
inline constexpr int editUpdate = 6;
} // namespace cbn
namespace en {
inline constexpr int change = 0x300;
} // namespace en
namespace udn {
inline constexpr int deltaPos = -722;
} // namespace udn
namespace lvn {
inline constexpr int itemChanged = -101;
} // namespace lvn

// List and combo results.
inline constexpr int lbErr = -1;

// Messages. Grid notifications are listed in grid.h.
namespace wm {
inline constexpr unsigned notify = 0x004E;
inline constexpr unsigned keyDown = 0x0100;
inline constexpr unsigned command = 0x0111;
inline constexpr unsigned timer = 0x0113;
inline constexpr unsigned mouseMove = 0x0200;
inline constexpr unsigned lButtonDown = 0x0201;
inline constexpr unsigned lButtonUp = 0x0202;
inline constexpr unsigned lButtonDblClk = 0x0203;
inline constexpr unsigned rButtonDown = 0x0204;
inline constexpr unsigned rButtonUp = 0x0205;
inline constexpr unsigned mouseHover = 0x02A1;
inline constexpr unsigned mouseLeave = 0x02A3;
inline constexpr unsigned user = 0x0400;
} // namespace wm

// Hit-test answers of a dialog.
namespace ht {
inline constexpr int client = 1;
inline constexpr int caption = 2;
inline constexpr int bottomRight = 17;
} // namespace ht

// Virtual key codes.
namespace vk {
inline constexpr int back = 0x08;
inline constexpr int tab = 0x09;
inline constexpr int returnKey = 0x0D;
inline constexpr int shift = 0x10;
inline constexpr int control = 0x11;
inline constexpr int escape = 0x1B;
inline constexpr int space = 0x20;
inline constexpr int prior = 0x21;
inline constexpr int next = 0x22;
inline constexpr int end = 0x23;
inline constexpr int home = 0x24;
inline constexpr int left = 0x25;
inline constexpr int up = 0x26;
inline constexpr int right = 0x27;
inline constexpr int down = 0x28;
inline constexpr int insert = 0x2D;
inline constexpr int del = 0x2E;
inline constexpr int f2 = 0x71;
inline constexpr int processKey = 229; // a key that an input method is processing
} // namespace vk

// The modifier state of a key press.
struct KeyState {
    bool shift = false;
    bool control = false;
};

// A message as the framework routes it: a number and two parameters, as on the platform.
struct Message {
    unsigned id = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// The platform's packing of a command message's wParam: low word control id, high word code.
constexpr std::uintptr_t makeCommandParam(int id, int code) {
    return (std::uintptr_t(std::uint16_t(id))) | (std::uintptr_t(std::uint16_t(code)) << 16);
}
constexpr int commandId(std::uintptr_t wParam) {
    return int(wParam & 0xFFFF);
}
constexpr int commandCode(std::uintptr_t wParam) {
    return int(std::int16_t(wParam >> 16));
}

// The header of a notify message's parameter block.
struct NotifyHeader {
    void* from = nullptr; // the control
    int idFrom = 0;
    int code = 0;
};
// Up-down position change: the handler answers non-zero to refuse the change.
struct UpDownNotify {
    NotifyHeader hdr;
    int pos = 0;
    int delta = 0;
};

} // namespace zhost::ui
