#include "CFinishPpg.h"

#include "CInstallWizard.h"
#include "CLayoutHelper.h"
#include "CWizardServices.h"
#include "ToolsEngineHost.h"
#include "VLFileSystem.h"
#include "VLLayoutUnits.h"
#include "VLLog.h"
#include "VLPath.h"

namespace {

enum : UINT { kIdResultText = 300, kIdRestartBox, kIdRunBox };

}  // namespace

CFinishPpg::CFinishPpg(CInstallWizard& wizard)
    : CWizardPropertyPage(wizard, L"Install Complete", L"")
{
    m_headerDescription = Services().Translate(L"Thank you for installing ") + Services().GetProductName(1);
}

CFinishPpg::~CFinishPpg() = default;

bool CFinishPpg::ShouldSkip()
{
    const InstallOptionsData& o = Options();
    return o.Silent || (o.Express && m_mode == ECompletionMode::RunProgram);
}

CToolsEngineHost& CFinishPpg::Host()
{
    if (!m_host)
        m_host = std::make_unique<CToolsEngineHost>(Services().GetTools(), nullptr);
    // Boxes belong to the wizard window, which exists by the time one is shown.
    m_host->SetOwner(m_installWizard.GetHwnd());
    return *m_host;
}

VLString CFinishPpg::GetMainProgramFile() const
{
    IVLTools* tools = Services().GetTools();
    CProductInfo product;
    VLFillProductInfo(tools ? tools->GetProductInfo() : nullptr, product);
    return product.MainProgramFile;
}

VLString CFinishPpg::GetDestinationFolder() const
{
    const VLString& folder = Options().DestinationFolder;
    return folder.IsEmpty() ? VLString() : VLPath::AddTrailingBackslash(folder);
}

void CFinishPpg::Initialise()
{
    CCompletionJob job;
    job.Options = &Options();
    job.MainProgramFile = GetMainProgramFile();
    job.Host = &Host();
    job.Runner = &m_runner;
    job.RunOnceRoot = m_runOnceRoot;
    m_result = CInstallCompletion::Run(job);
    m_mode = m_result.Mode;

    using VLLayoutUnits::Scale;
    CWizardServices& s = Services();
    CLayoutHelper layout(GetContentRect(), Scale(8));
    VLString text = m_result.RestartNeeded
                        ? s.Translate(L"Install Wizard could not copy all files.  Windows must be restarted to "
                                      L"complete setup.")
                        : s.Translate(L"Installation successfully completed.");
    VLControl::CreateArgs args;
    args.parent = m_hwnd;
    args.id = kIdResultText;
    args.text = text;
    args.rect = layout.TakeTop(
        CLayoutHelper::MeasureTextHeight(text, layout.GetRemainingWidth(), VLLayoutUnits::GetFont()));
    (void)m_resultText.Create(args);
    layout.Skip(Scale(4));

    if (m_result.RestartNeeded) {
        args.id = kIdRestartBox;
        args.text = s.Translate(L"Restart Windows now");
        args.rect = layout.TakeTop(Scale(17));
        (void)m_restartBox.Create(args);
        m_restartBox.SetChecked(m_mode == ECompletionMode::RestartWindows);
    } else if (!Options().NoRun) {
        args.id = kIdRunBox;
        args.text = s.Translate(L"Run installed program now");
        args.rect = layout.TakeTop(Scale(17));
        (void)m_runBox.Create(args);
        m_runBox.SetChecked(m_mode == ECompletionMode::RunProgram);
    }
}

bool CFinishPpg::Validate()
{
    if (!ShouldSkip()) {
        m_mode = ECompletionMode::Nothing;
        if (HasRestartCheckBox() && m_restartBox.IsChecked())
            m_mode = ECompletionMode::RestartWindows;
        else if (HasRunCheckBox() && m_runBox.IsChecked())
            m_mode = ECompletionMode::RunProgram;
    }
    return Finish();
}

bool CFinishPpg::Finish()
{
    const VLString destination = GetDestinationFolder();
    if (!destination.IsEmpty())
        CInstallCompletion::MarkFolderReadOnly(destination);
    // A silent install never restarts Windows and never leaves a journal.
    if (Options().Silent)
        return true;

    switch (m_mode) {
    case ECompletionMode::RestartWindows: {
        CWizardServices& s = Services();
        VLString restart = s.Translate(L"Restart");
        VLStringArray buttons;
        buttons.Add(restart);
        buttons.Add(s.Translate(L"Cancel"));
        VLString pressed = Host().MessageBox(
            s.Translate(L"Confirm Restart"),
            s.Translate(L"Please save your work and close any open programs.\r\n\r\nThen click 'Restart' to restart "
                        L"your computer and finish installation."),
            buttons);
        // The box shows translated captions, so the answer is compared with
        // the translated "Restart".
        if (pressed != restart)
            return false;
        if (!m_shutdown->Shutdown(true))
            VLLog::WriteFormat(L"CFinishPpg", L"The restart was refused (error %d)",
                               static_cast<int>(::GetLastError()));
        return true;
    }
    case ECompletionMode::RunProgram: {
        VLString mainProgram = GetMainProgramFile();
        VLString program = destination + mainProgram;
        if (!destination.IsEmpty() && !mainProgram.IsEmpty() && VLFileSystem::FileExists(program))
            (void)CInstallCompletion::WriteFinishJournal(Services().GetInstallerFolder(), program);
        return true;
    }
    case ECompletionMode::Nothing:
        break;
    }
    return true;
}
