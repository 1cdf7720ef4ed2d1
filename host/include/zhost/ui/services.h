#pragma once
// Desktop services the dialogs use: the clipboard, message boxes, the theme, the screen and its
// resolution, and the keeping of windows on screen.
#include "zhost/ui/types.h"

#include <string>
#include <string_view>
#include <vector>

namespace zhost::ui {

class Dialog;

// The host clipboard (Unicode text).
void setClipboardText(std::wstring_view text);
bool getClipboardText(std::wstring& out); // false when it holds no text
void clearClipboard();

// Message box types (only OK boxes are offered).
inline constexpr unsigned mbOk = 0x0;
inline constexpr unsigned mbIconWarning = 0x30;
inline constexpr unsigned mbIconInformation = 0x40;
// Shows a message box and returns idOk. Headless, it is echoed to the transcript as
// "[caption] text" and closes at once.
int messageBox(Dialog* owner, std::wstring_view text, std::wstring_view caption,
               unsigned type = mbOk);
// Message boxes shown so far (for tests): their texts in order.
const std::vector<std::wstring>& messageBoxLog();
void clearMessageBoxLog();

// Whether the system draws windows with a visual-style theme (true unless switched off).
bool themeActive();
void setThemeActive(bool active);

// The screen (the work area windows are kept on) and its vertical resolution (pixels per
// logical inch; 96 unless set, 192 for a high-resolution display).
Rect screenRect();
void setScreenRect(const Rect& r);
int logPixelsY();
void setLogPixelsY(int dpi);

// Moves a dialog back into the screen's work area when it lies partly outside.
void keepOnScreen(Dialog& dialog);

// Resets the services to their initial state (tests).
void resetServices();

} // namespace zhost::ui
