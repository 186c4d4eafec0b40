#include "VLFaultGuard.h"

#include "VLHandle.h"

#include <atomic>
#include <mutex>

namespace {

constexpr DWORD kFaultExitCode = 0xFA17;

struct GuardedCall {
    void (*function)(void*) = nullptr;
    void* context = nullptr;
    DWORD threadId = 0;
    std::atomic<bool> faulted{false};
    DWORD exceptionCode = 0;
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
};

std::mutex g_oneAtATime;  // the top-level filter is process-wide
std::atomic<GuardedCall*> g_active{nullptr};

[[noreturn]] void WINAPI AbandonThread()
{
    // Runs on the faulted thread, on fresh stack below the fault.
    ::ExitThread(kFaultExitCode);
}

[[noreturn]] void WINAPI AbandonThreadHard()
{
    // A second fault while leaving (in a module's thread-detach code):
    // end the thread without running any more foreign code.
    ::TerminateThread(::GetCurrentThread(), kFaultExitCode);
    for (;;)
        ::Sleep(INFINITE);
}

void Redirect(CONTEXT* context, void (WINAPI* target)())
{
#if defined(__x86_64__) || defined(_M_X64)
    DWORD64 sp = (context->Rsp - 256) & ~static_cast<DWORD64>(15);
    context->Rsp = sp - 8;  // as after a call: the return address slot
    context->Rip = reinterpret_cast<DWORD64>(target);
#elif defined(__i386__) || defined(_M_IX86)
    DWORD sp = (context->Esp - 256) & ~static_cast<DWORD>(15);
    context->Esp = sp - 4;
    context->Eip = reinterpret_cast<DWORD>(target);
#elif defined(__aarch64__) || defined(_M_ARM64)
    context->Sp = (context->Sp - 256) & ~static_cast<DWORD64>(15);
    context->Pc = reinterpret_cast<DWORD64>(target);
#else
#error "VLFaultGuard: unsupported processor"
#endif
}

LONG WINAPI ContainFilter(EXCEPTION_POINTERS* info)
{
    GuardedCall* call = g_active.load();
    if (call && ::GetCurrentThreadId() == call->threadId) {
        if (!call->faulted.exchange(true)) {
            call->exceptionCode = info->ExceptionRecord->ExceptionCode;
            Redirect(info->ContextRecord, AbandonThread);
        } else {
            Redirect(info->ContextRecord, AbandonThreadHard);
        }
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    if (call && call->previousFilter)
        return call->previousFilter(info);
    return EXCEPTION_CONTINUE_SEARCH;
}

DWORD WINAPI GuardedThread(void* parameter)
{
    GuardedCall* call = static_cast<GuardedCall*>(parameter);
    VLComInit com;
    call->function(call->context);
    return 0;
}

// Waits for the thread while serving messages sent to this thread's windows,
// so a module that sends to them cannot deadlock the call.
void WaitServingSentMessages(HANDLE thread)
{
    HANDLE handles[1] = {thread};
    for (;;) {
        DWORD wait = ::MsgWaitForMultipleObjects(1, handles, FALSE, INFINITE, QS_SENDMESSAGE);
        if (wait != WAIT_OBJECT_0 + 1)
            return;
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

bool VLRunContained(void (*function)(void* context), void* context, DWORD* exceptionCode)
{
    if (exceptionCode)
        *exceptionCode = 0;
    if (!function)
        return false;
    std::lock_guard<std::mutex> guard(g_oneAtATime);
    GuardedCall call;
    call.function = function;
    call.context = context;

    DWORD threadId = 0;
    VLUniqueHandleObj thread(::CreateThread(nullptr, 0, GuardedThread, &call, CREATE_SUSPENDED, &threadId));
    if (!thread.IsValid())
        return false;
    call.threadId = threadId;
    call.previousFilter = ::SetUnhandledExceptionFilter(ContainFilter);
    g_active.store(&call);
    ::ResumeThread(thread.Get());
    WaitServingSentMessages(thread.Get());
    g_active.store(nullptr);
    ::SetUnhandledExceptionFilter(call.previousFilter);

    if (call.faulted.load()) {
        if (exceptionCode)
            *exceptionCode = call.exceptionCode;
        return false;
    }
    return true;
}
