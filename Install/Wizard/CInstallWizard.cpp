#include "CInstallWizard.h"

#include "CWizardServices.h"
#include "VLLayoutUnits.h"

CInstallWizard::CInstallWizard(CWizardServices& services, InstallOptionsData& options)
    : m_services(services),
      m_options(options),
      m_license(*this),
      m_setupType(*this),
      m_setupTypeCustom(*this),
      m_selectPath(*this),
      m_copyAndInstall(*this),
      m_fileAssociation(*this),
      m_shortcuts(*this),
      m_finish(*this)
{
    AppendPage(&m_license);
    AppendPage(&m_setupType);
    AppendPage(&m_setupTypeCustom);
    AppendPage(&m_selectPath);
    AppendPage(&m_copyAndInstall);
    if (m_services.HasFeature(176))
        AppendPage(&m_fileAssociation);
    AppendPage(&m_shortcuts);
    AppendPage(&m_finish);
}

CInstallWizard::~CInstallWizard()
{
    // The pages are members: their windows go with the frame, before the
    // page objects themselves.
    Destroy();
}

bool CInstallWizard::Create()
{
    if (!CreateWizard(nullptr))
        return false;
    m_windowTitle = m_services.GetProductName(1) + L" - " + m_services.Translate(L"Install Wizard");
    SetText(m_windowTitle);

    VLString iconPath = m_services.FindArtFile(L"Application.ico");
    if (!iconPath.IsEmpty()) {
        m_largeIcon.Reset(static_cast<HICON>(
            ::LoadImageW(nullptr, iconPath.GetString(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE)));
        m_smallIcon.Reset(static_cast<HICON>(
            ::LoadImageW(nullptr, iconPath.GetString(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE)));
    }
    if (!m_largeIcon)
        m_largeIcon.Reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                                          IMAGE_ICON, 32, 32, 0)));
    if (!m_smallIcon)
        m_smallIcon.Reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                                          IMAGE_ICON, 16, 16, 0)));
    if (m_largeIcon)
        ::SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_largeIcon.Get()));
    // The header band shows the icon at 32 layout units: loaded at that size,
    // so high DPI gets the icon's own larger image rather than a stretched one.
    if (!iconPath.IsEmpty()) {
        int size = VLLayoutUnits::Scale(32);
        m_headerIcon.Reset(static_cast<HICON>(
            ::LoadImageW(nullptr, iconPath.GetString(), IMAGE_ICON, size, size, LR_LOADFROMFILE)));
    }
    m_header.SetIcon(m_headerIcon ? m_headerIcon.Get() : m_largeIcon.Get());
    if (m_smallIcon)
        ::SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.Get()));
    return true;
}

VLString CInstallWizard::Translate(const VLString& text)
{
    return m_services.Translate(text);
}

void CInstallWizard::PressNext()
{
    if (m_hwnd)
        ::PostMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(kCommandNext, 0), 0);
}

void CInstallWizard::OnCloseRequest()
{
    VLString product = m_services.GetProductName(1);
    if (GetCurrentIndex() > kLastCancellablePage) {
        VLString text = VLString::Format(
            m_services.Translate(L"%s installation can no longer be canceled.\r\n\r\n").GetString(), product);
        text += m_services.Translate(
            L"Once installation has completed, you can uninstall using Control Panel > Add or Remove Programs.");
        m_services.ShowMessage(m_hwnd, m_services.Translate(L"Cancel Unavailable"), text);
        return;
    }
    VLString question = VLString::Format(
        m_services.Translate(L"Are you sure you want to cancel %s installation?").GetString(), product);
    if (m_services.AskYesNo(m_hwnd, m_services.Translate(L"Confirm Cancellation"), question))
        Cancel();
}
