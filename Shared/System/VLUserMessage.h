#pragma once
// Messages this library shows to the user. By default a message box; the
// application installs a handler that translates the texts and uses its own
// boxes, and tests install one that records what would have been shown.

#include "VLString.h"

#include <windows.h>

class VLUserMessage {
public:
    // Returns the button pressed (IDOK, IDYES, ...), like MessageBoxW.
    using Handler = int (*)(const VLString& caption, const VLString& text, UINT type, void* context);

    // nullptr restores the default. The previous handler is returned through
    // the out-parameters when given, so tests can put it back.
    static void SetHandler(Handler handler, void* context, Handler* previous = nullptr,
                           void** previousContext = nullptr);
    static int Show(const VLString& caption, const VLString& text, UINT type = MB_OK | MB_ICONINFORMATION);
};
