#include "CCopyAndInstallPpg.h"

#include <objbase.h>

#include "CArtFileLookup.h"
#include "CInstallWizard.h"
#include "CLayoutHelper.h"
#include "CShellRegistration.h"
#include "CVersionInfo.h"
#include "CWizardEngineHost.h"
#include "CWizardServices.h"
#include "ComponentRunner.h"
#include "FilePlacer.h"
#include "PlacementRules.h"
#include "ProductRecords.h"
#include "VLFileSystem.h"
#include "VLFolders.h"
#include "VLLayoutUnits.h"
#include "VLLog.h"
#include "VLPath.h"
#include "VLProcessRecord.h"
#include "VLSystemInfo.h"

namespace {

class TextSink : public IVLTextSink {
public:
    void Set(const wchar_t* text, int length) override
    {
        m_text = length < 0 ? VLString(text ? text : L"") : VLString(text, length);
    }
    VLString m_text;
};

bool IsFile(const VLString& path)
{
    DWORD attributes = ::GetFileAttributesW(VLPath::ApplyLongPathRule(path));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CPromoTiming CPromoTiming::FromValues(int count, int totalMilliseconds)
{
    CPromoTiming timing;
    timing.Count = count > 0 ? count : 1;
    timing.TotalMilliseconds = totalMilliseconds < 1000 ? 1000 : totalMilliseconds;
    return timing;
}

CCopyAndInstallPpg::CCopyAndInstallPpg(CInstallWizard& wizard)
    : CWizardPropertyPage(wizard, L"Installing Dependencies", L"Please wait while Install Wizard installs dependencies.")
{
    CWizardServices& s = Services();
    m_promo = CPromoTiming::FromValues(s.GetConfigText(L"/*/Installer/PromoCount").ToInt(),
                                       s.GetConfigText(L"/*/Installer/PromoMinimumMilliseconds").ToInt());
}

CCopyAndInstallPpg::~CCopyAndInstallPpg() = default;

void CCopyAndInstallPpg::SetInstallSteps(CInstallSteps* steps)
{
    m_steps = steps ? steps : &m_noSteps;
}

// --- Controls -------------------------------------------------------------

void CCopyAndInstallPpg::Initialise()
{
    using VLLayoutUnits::Scale;
    CLayoutHelper layout(GetContentRect(), Scale(6));

    VLControl::CreateArgs args;
    args.parent = m_hwnd;
    args.id = 200;
    m_statusText = Services().Translate(L"Preparing...");
    args.text = m_statusText;
    args.rect = layout.TakeTop(Scale(14));
    (void)m_status.Create(args);

    args.id = 201;
    args.text = VLString();
    args.rect = layout.TakeTop(Scale(14));
    (void)m_progress.Create(args);
    SetProgressRange(0, 1);
    SetProgressPos(0);

    layout.Skip(Scale(4));
    (void)m_picture.Create(m_hwnd, layout.GetRemaining(), 202);

    ShowPromo(1);
    SetTimer(kTimerPromo, static_cast<UINT>(m_promo.PeriodMilliseconds()));
    Advance();
}

void CCopyAndInstallPpg::SetProgressRange(int low, int high)
{
    // The control's range starts at 0; a phase's range always does too.
    (void)low;
    if (high == m_progressMax)
        return;
    m_progressMax = high;
    m_progress.SetRange(high);
    // The control clamps the position into the new range.
    if (m_progressPos > high)
        m_progressPos = high;
}

void CCopyAndInstallPpg::SetProgressPos(int pos)
{
    if (pos == m_progressPos)
        return;
    m_progressPos = pos;
    m_progress.SetPosition(pos);
}

void CCopyAndInstallPpg::PumpMessages()
{
    MSG msg;
    HWND frame = m_installWizard.GetHwnd();
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The modal loop must still see it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (frame && ::IsDialogMessageW(frame, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void CCopyAndInstallPpg::SetStatusText(const VLString& text)
{
    m_statusText = text;
    m_status.SetText(text);
    if (m_statusObserver)
        m_statusObserver(text);
}

void CCopyAndInstallPpg::SetHeader(const wchar_t* title, const wchar_t* description)
{
    m_headerTitle = Services().Translate(title);
    m_headerDescription = Services().Translate(description);
    if (m_installWizard.GetCurrentPage() == this)
        m_installWizard.UpdateChrome();
}

void CCopyAndInstallPpg::SetCancelAllowed(bool allowed)
{
    if (allowed == m_cancelAllowed)
        return;
    m_cancelAllowed = allowed;
    if (m_installWizard.GetCurrentPage() == this)
        m_installWizard.GetCancelButton().Enable(allowed);
}

// --- Promotional pictures -------------------------------------------------

VLString CCopyAndInstallPpg::FindPromoPicture(const VLString& installerFolder, const VLString& language, int n)
{
    const VLString candidates[] = {
        VLString::Format(L"%sSetup\\Promo%d - %s.png", installerFolder, n, language),
        VLString::Format(L"%sSetup\\Promo%d - %s.jpg", installerFolder, n, language),
        VLString::Format(L"%sSetup\\Promo%d.png", installerFolder, n),
        VLString::Format(L"%sSetup\\Promo%d.jpg", installerFolder, n),
    };
    for (const VLString& candidate : candidates) {
        if (IsFile(candidate))
            return candidate;
    }
    return VLString();
}

void CCopyAndInstallPpg::ShowPromo(int n)
{
    VLString language;
    if (IVLTools* tools = Services().GetTools()) {
        if (IVLLanguage* service = tools->GetLanguage()) {
            TextSink sink;
            service->GetLanguageName(sink);
            language = sink.m_text;
        }
    }
    VLString file = FindPromoPicture(Services().GetInstallerFolder(), language, n);
    if (file.IsEmpty())
        return;  // the picture on show stays
    m_picture.Clear();
    (void)m_picture.LoadPicture(file);
}

void CCopyAndInstallPpg::PromoTick()
{
    if (m_promoIndex >= m_promo.Count) {
        KillTimer(kTimerPromo);
        m_promosDone = true;
        return;
    }
    ++m_promoIndex;
    ShowPromo(m_promoIndex);
}

int CCopyAndInstallPpg::FinishingTicks(const CPromoTiming& promo, int promoIndex)
{
    int remaining = ::MulDiv(promo.TotalMilliseconds, promo.Count - promoIndex + 1, promo.Count);
    return remaining / static_cast<int>(kFinishTickMilliseconds) + 1;
}

// --- Step chain -----------------------------------------------------------

bool CCopyAndInstallPpg::IsDowngradeSkip(bool allowDowngrade, bool existingInstall, uint64_t installedVersion,
                                         uint64_t packagedVersion)
{
    if (allowDowngrade || !existingInstall)
        return false;
    return installedVersion >= packagedVersion;
}

bool CCopyAndInstallPpg::ShouldSkipCopying()
{
    const InstallOptionsData& options = Options();
    if (options.AllowDowngrade || !options.ExistingInstall)
        return false;
    VLString mainProgram;
    if (IVLTools* tools = Services().GetTools()) {
        if (IVLProductInfo* info = tools->GetProductInfo()) {
            TextSink sink;
            info->GetMainProgram(sink);
            mainProgram = sink.m_text;
        }
    }
    VLString installedFolder = Services().GetInstalledProgramFolder();
    uint64_t installed =
        installedFolder.IsEmpty() ? 0 : CVersionInfo::FileVersion64(VLPath::AddTrailingBackslash(installedFolder) + mainProgram);
    uint64_t packaged = CVersionInfo::FileVersion64(Services().GetInstallerFolder() + L"Quenbox\\" + mainProgram);
    bool skip = IsDowngradeSkip(options.AllowDowngrade, options.ExistingInstall, installed, packaged);
    VLLog::Write(L"CCopyAndInstallPpg", VLString::Format(L"installed %d.%d.%d.%d, package %d.%d.%d.%d: %s",
                                                         (installed >> 48) & 0xFFFF, (installed >> 32) & 0xFFFF,
                                                         (installed >> 16) & 0xFFFF, installed & 0xFFFF,
                                                         (packaged >> 48) & 0xFFFF, (packaged >> 32) & 0xFFFF,
                                                         (packaged >> 16) & 0xFFFF, packaged & 0xFFFF,
                                                         skip ? L"nothing copied" : L"copying"));
    return skip;
}

void CCopyAndInstallPpg::Advance()
{
    if (m_step == kTimerCopy && ShouldSkipCopying())
        m_step = kTimerFinishStart;
    SetTimer(static_cast<UINT_PTR>(m_step), 1);
    ++m_step;
}

void CCopyAndInstallPpg::OnTimer(UINT_PTR id)
{
    if (id == kTimerPromo) {
        PromoTick();
        return;
    }
    KillTimer(id);
    if (id > kTimerDone)
        return;
    if (m_inStep) {
        // A step pumps messages; the next one starts once it has returned.
        SetTimer(id, 1);
        return;
    }
    m_inStep = true;
    // Nothing may unwind through the window procedure: an error escaping a
    // step ends the installation.
    try {
        RunStep(id);
    } catch (...) {
        VLLog::Write(L"CCopyAndInstallPpg", VLString::Format(L"step %d failed unexpectedly", static_cast<int>(id)));
        CancelWizard();
    }
    m_inStep = false;
}

void CCopyAndInstallPpg::RunStep(UINT_PTR id)
{
    switch (id) {
    case kTimerDependencies: {
        SetHeader(L"Installing Dependencies", L"Please wait while Install Wizard installs dependencies.");
        const InstallOptionsData& options = Options();
        if (!options.NoDependencies && !options.Portable) {
            if (!m_steps->InstallDependencies(*this, m_dependencies) || m_dependencies.IsCancelled())
                return;  // the wizard closes; no further step
        }
        SetCancelAllowed(false);
        Advance();
        break;
    }
    case kTimerCopy:
        if (RunCopyAndInstall())
            Advance();
        break;
    case kTimerPlugins:
        SetHeader(L"Installing Plugins", L"Please wait while Install Wizard installs and registers plug-ins.");
        SetCancelAllowed(false);
        m_steps->InstallPluginsAndServices(*this);
        Advance();
        break;
    case kTimerFinishStart:
        if (!m_promosDone) {
            SetProgressRange(0, FinishingTicks(m_promo, m_promoIndex));
            SetProgressPos(0);
            SetStatusText(Services().Translate(L"Finalizing installation..."));
        }
        Advance();
        break;
    case kTimerFinishWait:
        if (m_promosDone) {
            Advance();
        } else {
            SetTimer(kTimerFinishWait, kFinishTickMilliseconds);
            SetProgressPos(m_progressPos + 1);
        }
        break;
    case kTimerDone:
        SetProgressPos(m_progressMax);
        m_finished = true;
        m_installWizard.UpdateChrome();
        m_installWizard.PressNext();
        break;
    default:
        break;
    }
}

void CCopyAndInstallPpg::CancelWizard()
{
    m_installWizard.Cancel();
}

// --- The copy-and-install sequence ----------------------------------------

template <class Work>
void CCopyAndInstallPpg::StatusStep(const wchar_t* status, Work&& work)
{
    SetProgressRange(0, 1);
    SetProgressPos(0);
    PumpMessages();
    SetStatusText(Services().Translate(status));
    PumpMessages();
    work();
    SetProgressPos(1);
    PumpMessages();
}

void CCopyAndInstallPpg::PrepareContext()
{
    CWizardServices& s = Services();
    InstallOptionsData& options = Options();
    if (!m_host)
        m_host = std::make_unique<CWizardEngineHost>(s, [this] { return m_installWizard.GetHwnd(); });
    if (!m_runner)
        m_runner = std::make_unique<CWin32ComponentRunner>();

    CInstallContext& c = m_context;
    c.InstallerFolder = s.GetInstallerFolder();
    c.DestinationFolder = options.DestinationFolder.IsEmpty() ? VLString()
                                                              : VLPath::AddTrailingBackslash(options.DestinationFolder);
    c.Is64BitWindows = VLIsWindows64();
    c.Portable = options.Portable;
    c.ExistingInstall = options.ExistingInstall;
    c.Upgrade = options.Upgrade;
    c.DistributorID = options.DistributorID;
    c.ExistingUninstallKey = options.ExistingUninstallKey;
    c.OsVersionCode = VLGetOSVersionCode();
    c.Deferred = CDeferredTargets{&options.PendingInstalls, &options.PendingRegistrations, &options.RestartRequired,
                                  &options.ShellExtensionRegistrationAllowed};
    c.Host = m_host.get();
    c.Runner = m_runner.get();

    CProductInfo& product = c.Product;
    VLFillProductInfo(s.GetTools() ? s.GetTools()->GetProductInfo() : nullptr, product);
}

bool CCopyAndInstallPpg::RunCopyAndInstall()
{
    // 1. Header; nothing from here on may be cancelled.
    SetHeader(L"Copying Files", L"Please wait while Install Wizard copies and registers files.");
    SetCancelAllowed(false);
    PrepareContext();
    CInstallContext& c = m_context;
    CFilePlacer placer(c);

    // 2. Obsolete files of earlier versions.
    StatusStep(L"Cleaning installation directory...", [&] { m_steps->CleanInstallationFolder(*this); });

    // 3. The product's programs find this installation through the record.
    VLProcessRecord& record = VLProcessRecord::Get();
    record.SetInstallPath(c.DestinationFolder, false, false);
    if (c.Portable) {
        record.SetPortable(true);
        record.SetAppDataFolder(c.DestinationFolder + L"Application Data\\");
    }

    // 4., 5. Library and settings folders; the previous major version.
    StatusStep(L"Loading default library and settings...", [&] { m_steps->PrepareLibraryAndSettings(*this); });
    StatusStep(L"Upgrading from previous version...", [&] { m_steps->MigratePreviousVersion(*this); });

    // 6. Core modules first; giving up there ends the installation.
    if (!placer.CopyCoreModules()) {
        CancelWizard();
        return false;
    }
    CProductRecords(c).WriteInstallationsRecord();
    PumpMessages();

    // 7. Components loaded so far let go of their files.
    ::CoFreeUnusedLibraries();

    // 8. System files and fonts (none for a portable install).
    SetProgressPos(0);
    PumpMessages();
    SetStatusText(Services().Translate(L"Installing system files..."));
    PumpMessages();
    placer.InstallSystemFiles(this, VLSystemPassFolders(), VLFolders::GetFontsFolder(), &m_registrationList);
    PumpMessages();

    // 9. The media server holds its files while it runs.
    StopMediaServer();

    // 10. Program files, with progress by bytes.
    SetProgressPos(0);
    PumpMessages();
    SetStatusText(VLString::Format(Services().Translate(L"Installing %s program files...").GetString(),
                                   Services().GetProductName(0)));
    PumpMessages();
    placer.CopyFolder(kModeAlwaysOverwrite, this, c.DestinationFolder, c.InstallerFolder + L"Quenbox\\",
                      &m_registrationList);

    // 11. The licence beside the program; a failure does not matter.
    VLString licenseTarget = c.DestinationFolder + L"License.txt";
    ::SetFileAttributesW(VLPath::ApplyLongPathRule(licenseTarget), FILE_ATTRIBUTE_NORMAL);
    (void)::CopyFileW(VLPath::ApplyLongPathRule(c.InstallerFolder + L"License.txt"),
                      VLPath::ApplyLongPathRule(licenseTarget), FALSE);

    // 12. Registration of the files the placement collected.
    SetProgressRange(0, 1);
    SetProgressPos(0);
    PumpMessages();
    SetStatusText(Services().Translate(L"Registering program files..."));
    PumpMessages();
    RegisterListedFiles();

    // 13. The product's programs now run from the destination.
    record.SetProgramFolder(c.DestinationFolder);

    // 14. Shell registration: the registry script, then the shell is told.
    StatusStep(L"Creating registry settings...", [&] { RunShellRegistration(); });

    // 15. The entry in the list of installed programs.
    // The icon is looked up now that the installed copy is in place.
    c.Product.ApplicationIcon = CArtFileLookup::ForProduct(c.DestinationFolder, c.InstallerFolder).Find(L"application.ico");
    CProductRecords(c).WriteUninstallEntry();
    PumpMessages();
    return true;
}

void CCopyAndInstallPpg::StopMediaServer()
{
    const VLString& mainProgram = m_context.Product.MainProgramFile;
    if (mainProgram.FindNoCase(L"Hovan", 0, false) < 0)
        return;
    VLString server = m_context.DestinationFolder + mainProgram;
    if (VLFileSystem::FileExists(server) && m_context.Runner)
        m_context.Runner->RunAndWait(server, L"/Stop", 5000);
    VLFileSystem::DeleteDirectoryTree(m_context.DestinationFolder + L"Server\\");
}

void CCopyAndInstallPpg::RegisterListedFiles()
{
    const int count = m_registrationList.GetCount();
    SetProgressRange(0, count);
    SetProgressPos(0);
    const bool mediaServer = m_context.Product.MainProgramFile.FindNoCase(L"Hovan", 0, false) >= 0;
    for (int i = 0; i < count; ++i) {
        PumpMessages();
        const VLString& path = m_registrationList[i];
        if (mediaServer && path.FindNoCase(L"\\Server\\", 0, false) >= 0)
            continue;
        if (m_context.Runner)
            m_context.Runner->RegisterInProcess(path);
        VLString name = VLPath::GetFileName(path);
        if (name.GetLength() >= 3 && name.Left(3).CompareNoCase(L"in_") == 0)
            m_steps->InstallWinampPlugin(*this, path);
        SetProgressPos(i);
    }
    PumpMessages();
}

void CCopyAndInstallPpg::RunShellRegistration()
{
    CWizardServices& s = Services();
    IVLTools* tools = s.GetTools();
    CShellRegistration registration(CShellIdentity::FromProduct(tools ? tools->GetProductInfo() : nullptr,
                                                                 tools ? tools->GetLanguage() : nullptr,
                                                                 m_context.DestinationFolder, m_context.InstallerFolder));
    registration.SetApply(true);
    registration.SetNotify(true);
    // Leaving the scope writes the script and notifies the shell.
}
