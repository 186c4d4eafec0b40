#include "VLUserMessage.h"

#include <mutex>

namespace {

std::mutex g_lock;
VLUserMessage::Handler g_handler = nullptr;
void* g_context = nullptr;

}  // namespace

void VLUserMessage::SetHandler(Handler handler, void* context, Handler* previous, void** previousContext)
{
    std::lock_guard<std::mutex> guard(g_lock);
    if (previous)
        *previous = g_handler;
    if (previousContext)
        *previousContext = g_context;
    g_handler = handler;
    g_context = context;
}

int VLUserMessage::Show(const VLString& caption, const VLString& text, UINT type)
{
    Handler handler;
    void* context;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        handler = g_handler;
        context = g_context;
    }
    if (handler)
        return handler(caption, text, type, context);
    return ::MessageBoxW(nullptr, text, caption, type);
}
