#include "VLLayoutUnits.h"

#include "VLHandle.h"

namespace {

int g_dpi = 0;
int g_testDpi = 0;
VLUniqueGdiObject g_font;
VLUniqueGdiObject g_boldFont;
int g_fontDpi = 0;

void CreateFonts()
{
    int dpi = VLLayoutUnits::GetDpi();
    if (g_font && g_fontDpi == dpi)
        return;
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    LOGFONTW lf{};
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        lf = ncm.lfMessageFont;
    else
        ::lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
    // Nine points whatever the system's message size, so the layout's units
    // and the text grow together.
    lf.lfHeight = -::MulDiv(9, dpi, 72);
    lf.lfWidth = 0;
    lf.lfWeight = FW_NORMAL;
    lf.lfQuality = CLEARTYPE_QUALITY;
    g_font.Reset(::CreateFontIndirectW(&lf));
    lf.lfWeight = FW_BOLD;
    g_boldFont.Reset(::CreateFontIndirectW(&lf));
    g_fontDpi = dpi;
}

}  // namespace

namespace VLLayoutUnits {

void EnableDpiAwareness() noexcept
{
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (!user32)
        return;
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    auto setContext = reinterpret_cast<SetContextFn>(::GetProcAddress(user32, "SetProcessDpiAwarenessContext"));
    // DPI_AWARENESS_CONTEXT_SYSTEM_AWARE: the layout is scaled once for the
    // system DPI, which is what the wizard's fixed layout supports.
    if (setContext && setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-2))))
        return;
    using SetAwareFn = BOOL(WINAPI*)();
    auto setAware = reinterpret_cast<SetAwareFn>(::GetProcAddress(user32, "SetProcessDPIAware"));
    if (setAware)
        setAware();
}

int GetDpi() noexcept
{
    if (g_testDpi > 0)
        return g_testDpi;
    if (g_dpi == 0) {
        HDC screen = ::GetDC(nullptr);
        g_dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen)
            ::ReleaseDC(nullptr, screen);
        if (g_dpi <= 0)
            g_dpi = 96;
    }
    return g_dpi;
}

int Scale(int units) noexcept
{
    return ::MulDiv(units, GetDpi(), 96);
}

void SetDpiForTesting(int dpi) noexcept
{
    g_testDpi = dpi;
}

HFONT GetFont() noexcept
{
    CreateFonts();
    return static_cast<HFONT>(g_font.Get());
}

HFONT GetBoldFont() noexcept
{
    CreateFonts();
    return static_cast<HFONT>(g_boldFont.Get());
}

}  // namespace VLLayoutUnits
