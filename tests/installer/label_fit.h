// Whether a window's labels show their whole text: a label (a static text or a check box) draws
// only what fits in its box, and a word or a paragraph that does not fit is simply not shown,
// which nobody notices unless they read the page.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace installer_test {

struct Label {
    std::string text;     // as shown, line breaks written as " | "
    bool fits = true;     // false when part of the text is cut off
    int neededPixels = 0; // the height (or, on one line, the width) the text needs
    int boxPixels = 0;    // what the label has
};

// What kind of window the labels are in, which decides their fonts.
enum class WindowKind {
    SetupWindow, // the setup program's or uninstaller's window, with its current page
    Dialog,      // another dialog, such as the folder chooser
    MessageBox,
};

// The visible labels in `window` and its child windows, in window order.
std::vector<Label> visibleLabels(HWND window, WindowKind kind);

} // namespace installer_test
