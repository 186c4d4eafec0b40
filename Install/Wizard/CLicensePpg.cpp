#include "CLicensePpg.h"

#include <vector>

#include "CInstallWizard.h"
#include "CLayoutHelper.h"
#include "CSelectPathPpg.h"
#include "CWizardServices.h"
#include "VLHandle.h"
#include "VLLayoutUnits.h"

namespace {

// Counts the countdown's seconds for the whole process.
int g_countdownCounter = 30;

bool IsValidUtf8(const unsigned char* p, size_t size)
{
    int expect = 0;
    for (size_t i = 0; i < size; ++i) {
        unsigned char c = p[i];
        if (expect) {
            if ((c & 0xC0) != 0x80)
                return false;
            --expect;
        } else if (c >= 0x80) {
            if ((c & 0xE0) == 0xC0)
                expect = 1;
            else if ((c & 0xF0) == 0xE0)
                expect = 2;
            else if ((c & 0xF8) == 0xF0)
                expect = 3;
            else
                return false;
        }
    }
    return expect == 0;
}

VLString FromCodePage(UINT codePage, const char* bytes, int size)
{
    if (size <= 0)
        return VLString();
    int length = ::MultiByteToWideChar(codePage, 0, bytes, size, nullptr, 0);
    if (length <= 0)
        return VLString();
    VLString text;
    wchar_t* buffer = text.GetBuffer(length);
    ::MultiByteToWideChar(codePage, 0, bytes, size, buffer, length);
    text.ReleaseBuffer(length);
    return text;
}

}  // namespace

CLicensePpg::CLicensePpg(CInstallWizard& wizard)
    : CWizardPropertyPage(wizard, L"Welcome", L"Welcome to the Install Wizard.")
{
}

int CLicensePpg::GetCountdownCounter()
{
    return g_countdownCounter;
}

VLString CLicensePpg::GetNextButtonText()
{
    return Services().Translate(L"Accept");
}

VLString CLicensePpg::LoadLicenseText(const VLString& path)
{
    VLUniqueFile file(::CreateFileW(path.GetString(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return VLString();
    LARGE_INTEGER size{};
    // A licence is a few kilobytes; anything beyond 16 MB is not one.
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > 16 * 1024 * 1024)
        return VLString();
    std::vector<unsigned char> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return VLString();
    bytes.resize(read);
    const unsigned char* p = bytes.data();
    size_t n = bytes.size();
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE)
        return VLString(reinterpret_cast<const wchar_t*>(p + 2), static_cast<int>((n - 2) / 2));
    if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF) {
        VLString text;
        for (size_t i = 2; i + 1 < n; i += 2)
            text += static_cast<wchar_t>((p[i] << 8) | p[i + 1]);
        return text;
    }
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        return FromCodePage(CP_UTF8, reinterpret_cast<const char*>(p + 3), static_cast<int>(n - 3));
    if (IsValidUtf8(p, n))
        return FromCodePage(CP_UTF8, reinterpret_cast<const char*>(p), static_cast<int>(n));
    return FromCodePage(CP_ACP, reinterpret_cast<const char*>(p), static_cast<int>(n));
}

void CLicensePpg::Initialise()
{
    using VLLayoutUnits::Scale;
    CLayoutHelper layout(GetContentRect(), Scale(6));
    VLControl::CreateArgs args;
    args.parent = m_hwnd;
    args.id = 100;
    args.text = Services().Translate(L"Please read the following license agreement carefully.");
    args.rect = layout.TakeTop(CLayoutHelper::MeasureTextHeight(args.text, layout.GetRemainingWidth(),
                                                                VLLayoutUnits::GetFont()));
    (void)m_label.Create(args);
    args.id = 101;
    args.text = LoadLicenseText(Services().GetInstallerFolder() + L"license.txt");
    args.rect = layout.GetRemaining();
    (void)m_text.Create(args);

    m_installWizard.GetCancelButton().SetFocus();
    SetTimer(kTimerStart, 10);
}

void CLicensePpg::OnTimer(UINT_PTR id)
{
    switch (id) {
    case kTimerStart: {
        KillTimer(kTimerStart);
        CSelectPathPpg::DetectExistingInstallation(Services(), Options());
        CToolsSection section = Services().OpenSection(L"Installer", kVLScopeMachine);
        if (Options().Silent || Options().Upgrade) {
            m_installWizard.PressNext();  // the licence counts as accepted
        } else if (section.GetInt(L"Run Auto Install", 0) != 0) {
            m_countdownRunning = true;
            SetTimer(kTimerAutoInstall, kAutoInstallMilliseconds);
            SetTimer(kTimerCountdown, 1000);
        }
        break;
    }
    case kTimerCountdown: {
        int seconds = g_countdownCounter--;
        SetWindowTitle(VLString::Format(
            Services().Translate(L"%s - Install Wizard (Auto Install in %d seconds)").GetString(),
            Services().GetProductName(1), seconds));
        m_installWizard.UpdateChrome();
        break;
    }
    case kTimerAutoInstall:
        StopCountdown();
        Options().Express = true;
        Options().AutoInstall = true;
        m_installWizard.PressNext();
        break;
    default:
        break;
    }
}

void CLicensePpg::StopCountdown()
{
    KillTimer(kTimerAutoInstall);
    KillTimer(kTimerCountdown);
    if (m_countdownRunning) {
        m_countdownRunning = false;
        // Back on this page later, the caption must not show a stale count.
        SetWindowTitle(GetDefaultWindowTitle());
    }
}

bool CLicensePpg::MayLeaveForwards()
{
    StopCountdown();
    return Validate();
}
