#include "CShellRegistration.h"

#include <windows.h>
#include <shlobj.h>

#include <utility>

#include "ShellProductRegistration.h"
#include "VLFolders.h"
#include "VLPath.h"

namespace {

VLString WithoutSpaces(const VLString& text)
{
    VLString result;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] != L' ')
            result += text[i];
    }
    return result;
}

}  // namespace

CShellRegistration::CShellRegistration(CShellIdentity identity) : m_identity(std::move(identity))
{
    m_identity.programFolder = VLPath::AddTrailingBackslash(m_identity.programFolder);
    m_productWithVersion = WithoutSpaces(m_identity.productName);
    m_productWithVersion += L'.';
    m_productWithVersion += m_identity.versionDesignation;
    m_launcherPath = m_identity.launcherPath;
    m_launcherName = m_identity.launcherName;
    m_mainProgramPath = m_identity.programFolder + m_identity.mainProgramName;
    m_productExtension = m_identity.productExtension;
    if (m_productExtension.IsEmpty() || m_productExtension[0] != L'.')
        m_productExtension = VLString(L".") + m_productExtension;
}

CShellRegistration::~CShellRegistration()
{
    if (m_apply)
        Apply();
    if (m_notify)
        ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

VLStringArray CShellRegistration::BuildScript() const
{
    return BuildShellScript(!m_launcherPath.IsEmpty(), m_identity.translate);
}

CScriptTokens CShellRegistration::MakeTokens() const
{
    CScriptTokens tokens;
    tokens.installDir = m_identity.programFolder;
    tokens.systemDir = VLFolders::GetSystemFolder();
    tokens.currentDir = VLFolders::GetProgramFolder();
    tokens.productName = m_identity.productName;
    tokens.productWithVersion = m_productWithVersion;
    tokens.exePath = m_mainProgramPath;
    tokens.launcherPath = m_launcherPath;
    tokens.launcherName = m_launcherName;
    CArtFileLookup art = m_identity.art;
    tokens.findArt = [art](const VLString& name) { return art.Find(name); };
    return tokens;
}

void CShellRegistration::Apply()
{
    RunScript(BuildScript());
    RegisterProductTypes(*this);
    RegisterDefaultPrograms(*this);
}
