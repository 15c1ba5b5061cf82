// Measures each visible label of a window against its box, as the label itself lays its text out.
#include "label_fit.h"

#include "support/dialog_driver.h"
#include "support/test_files.h"

namespace installer_test {

namespace {

constexpr int kTextCapacity = 4096;

std::wstring textOf(HWND window) {
    wchar_t text[kTextCapacity] = L"";
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, kTextCapacity, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                        support::kDeadlineMs, &length);
    return text;
}

// UTF-8, each line break (CR LF or LF) written as " | ", for one line of the report.
std::string oneLine(const std::wstring& text) {
    std::wstring flat;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r')
            continue;
        if (text[i] == L'\n')
            flat += L" | ";
        else
            flat += text[i];
    }
    char bytes[3 * kTextCapacity] = "";
    WideCharToMultiByte(CP_UTF8, 0, flat.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

bool isTextStatic(HWND window, LONG style) {
    const LONG kind = style & SS_TYPEMASK;
    return support::className(window) == "Static" && (style & SS_ELLIPSISMASK) == 0 &&
           (kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT || kind == SS_SIMPLE ||
            kind == SS_LEFTNOWORDWRAP);
}

bool isCheckBox(HWND window, LONG style) {
    const LONG kind = style & BS_TYPEMASK;
    return support::className(window) == "Button" && (style & BS_MULTILINE) == 0 &&
           (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON ||
            kind == BS_AUTORADIOBUTTON);
}

// The fonts labels are drawn with. A font handle cannot be read from another process (under Wine
// not even its number), so the fonts are made here as the setup program makes them: NSIS's dialogs
// use MS Shell Dlg at 8 points; Modern UI draws the header's title in bold and the title of the
// welcome and finish pages at 12 points bold; a message box uses the system's message font.
struct Fonts {
    HFONT dialog;
    HFONT bold;
    HFONT title;
    HFONT message;
};

HFONT dialogFont(int points, int weight) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Shell Dlg");
}

Fonts makeFonts() {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return {dialogFont(8, FW_NORMAL), dialogFont(8, FW_BOLD), dialogFont(12, FW_BOLD),
            CreateFontIndirectW(&metrics.lfMessageFont)};
}

void deleteFonts(const Fonts& fonts) {
    for (HFONT font : {fonts.dialog, fonts.bold, fonts.title, fonts.message})
        DeleteObject(font);
}

// The rectangle `text` takes when drawn with `format` in `font`, `width` pixels wide.
RECT measure(HFONT font, const std::wstring& text, UINT format, int width) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    RECT needed = {0, 0, width, 0};
    DrawTextW(screen, text.c_str(), -1, &needed, format | DT_CALCRECT);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return needed;
}

// Modern UI's header title is control 1037 of the setup window itself (not of a page).
constexpr int kHeaderTitle = 1037;

bool hasPicture(HWND page) {
    for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (support::className(child) == "Static" &&
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
            return true;
    return false;
}

// The title of a welcome or finish page: the topmost label of a page with a picture beside it.
bool isPageTitle(HWND label) {
    HWND page = GetParent(label);
    if (!hasPicture(page))
        return false;
    RECT own;
    GetWindowRect(label, &own);
    for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT other;
        GetWindowRect(child, &other);
        if (child != label && IsWindowVisible(child) && support::className(child) == "Static" &&
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP && other.top < own.top)
            return false;
    }
    return true;
}

struct Collection {
    WindowKind kind;
    Fonts fonts;
    std::vector<Label> labels;
};

HFONT fontOf(HWND label, const Collection& collection) {
    if (collection.kind == WindowKind::MessageBox)
        return collection.fonts.message;
    if (collection.kind == WindowKind::SetupWindow) {
        HWND parent = GetParent(label);
        if (GetDlgCtrlID(label) == kHeaderTitle && GetAncestor(parent, GA_ROOT) == parent)
            return collection.fonts.bold;
        if (isPageTitle(label))
            return collection.fonts.title;
    }
    return collection.fonts.dialog;
}

BOOL CALLBACK collect(HWND window, LPARAM param) {
    auto* collection = reinterpret_cast<Collection*>(param);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if (!IsWindowVisible(window))
        return TRUE;
    const bool text = isTextStatic(window, style);
    if (!text && !isCheckBox(window, style))
        return TRUE;
    const std::wstring shown = textOf(window);
    if (shown.empty())
        return TRUE;
    RECT box;
    GetClientRect(window, &box);
    Label label;
    label.text = oneLine(shown);
    const UINT prefix = text && (style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0;
    const LONG kind = style & SS_TYPEMASK;
    if (text && kind != SS_SIMPLE && kind != SS_LEFTNOWORDWRAP) {
        // Wrapped onto as many lines as it needs: those lines must fit the box's height, and no
        // single word may be wider than the box.
        const RECT needed =
            measure(fontOf(window, *collection), shown, DT_WORDBREAK | DT_EXPANDTABS | prefix, box.right);
        label.neededPixels = needed.bottom;
        label.boxPixels = box.bottom;
        label.fits = needed.bottom <= box.bottom && needed.right <= box.right;
    } else {
        // A check box's text starts after the box and a small gap.
        const int extra = text ? 0 : GetSystemMetrics(SM_CXMENUCHECK) + 4;
        const RECT needed =
            measure(fontOf(window, *collection), shown, DT_SINGLELINE | DT_EXPANDTABS | prefix, box.right);
        label.neededPixels = needed.right + extra;
        label.boxPixels = box.right;
        label.fits = label.neededPixels <= box.right;
    }
    collection->labels.push_back(label);
    return TRUE;
}

} // namespace

std::vector<Label> visibleLabels(HWND window, WindowKind kind) {
    Collection collection{kind, makeFonts(), {}};
    EnumChildWindows(window, collect, reinterpret_cast<LPARAM>(&collection));
    deleteFonts(collection.fonts);
    return collection.labels;
}

} // namespace installer_test
