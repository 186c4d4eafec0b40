#pragma once
// Layout units: one unit is one pixel at 96 DPI. Every toolkit window sizes
// its controls in units and converts them here, so the same layout reads
// right at 96, 120, 144 DPI and above.

#include <windows.h>

namespace VLLayoutUnits {

// Declares the process DPI aware (newest API that exists, looked up at run
// time). The program manifest says the same; this covers programs without one
// (test executables). Call before the first window is created.
void EnableDpiAwareness() noexcept;

// The DPI the layout is scaled for (the system DPI, read once).
int GetDpi() noexcept;

// Units to pixels, rounded to nearest.
int Scale(int units) noexcept;

// Overrides the DPI used by Scale; 0 returns to the system value. For tests
// of the layout rules only.
void SetDpiForTesting(int dpi) noexcept;

// The user-interface font (the system message font face at 9 points for the
// current DPI), in normal and bold weight. Owned by the toolkit; never delete.
HFONT GetFont() noexcept;
HFONT GetBoldFont() noexcept;

}  // namespace VLLayoutUnits
