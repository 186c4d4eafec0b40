// Checks that test programs run on a real Windows API with a display: a real
// top-level window is created, painted and destroyed through the message loop.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

int g_paintCount = 0;

LRESULT CALLBACK ProbeWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        ++g_paintCount;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

TEST(Harness, RealWindowIsCreatedShownAndPainted)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = ProbeWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VLHarnessProbe";
    ASSERT_NE(RegisterClassW(&wc), 0);

    HWND hwnd = CreateWindowExW(0, L"VLHarnessProbe", L"Probe", WS_OVERLAPPEDWINDOW, 10, 10, 320, 200,
                                nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);

    MSG msg;
    DWORD until = GetTickCount() + 2000;
    while (g_paintCount == 0 && GetTickCount() < until) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(10);
    }
    EXPECT_GT(g_paintCount, 0);
    EXPECT_TRUE(IsWindowVisible(hwnd));

    RECT rc{};
    ASSERT_TRUE(GetClientRect(hwnd, &rc));
    EXPECT_GT(rc.right, 0);
    EXPECT_TRUE(DestroyWindow(hwnd));
}

TEST(Harness, PrivatePrefixRegistryIsWritable)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\VLHarnessProbe", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD v = 7;
    EXPECT_EQ(RegSetValueExW(key, L"Probe", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), sizeof v), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\VLHarnessProbe"), ERROR_SUCCESS);
}
