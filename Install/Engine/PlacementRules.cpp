#include "PlacementRules.h"

#include <cwchar>
#include <cwctype>

// "VLAudio.dll" is the audio engine module; the other six are named by the
// product. Order matters: the copy goes in this order and stops at the first
// failure.
const wchar_t* const kCoreModules[kCoreModuleCount] = {
    L"VLAudio.dll", L"VLImage.dll",     L"VLReader.dll",     L"VLDisc.dll",
    L"VLPlayer.dll", L"VLWMFactory.dll", L"VLTelevision.dll",
};

namespace {

bool EqualNoCase(wchar_t a, wchar_t b)
{
    return a == b || std::towlower(a) == std::towlower(b);
}

bool ContainsCaseSensitive(const wchar_t* text, const wchar_t* part)
{
    return text && std::wcsstr(text, part) != nullptr;
}

}  // namespace

bool VLEndsWithNoCase(const wchar_t* text, const wchar_t* suffix)
{
    if (!text || !suffix)
        return false;
    size_t n = std::wcslen(text), m = std::wcslen(suffix);
    if (m > n)
        return false;
    for (size_t i = 0; i < m; ++i)
        if (!EqualNoCase(text[n - m + i], suffix[i]))
            return false;
    return true;
}

bool VLStartsWithNoCase(const wchar_t* text, const wchar_t* prefix)
{
    if (!text || !prefix)
        return false;
    for (; *prefix; ++text, ++prefix)
        if (!*text || !EqualNoCase(*text, *prefix))
            return false;
    return true;
}

bool VLContainsNoCase(const wchar_t* text, const wchar_t* part)
{
    if (!text || !part)
        return false;
    if (!*part)
        return true;
    for (; *text; ++text)
        if (VLStartsWithNoCase(text, part))
            return true;
    return false;
}

bool VLIs64BitTarget(const VLString& target, const VLString& x64Folder)
{
    if (!x64Folder.IsEmpty() && VLStartsWithNoCase(target, x64Folder))
        return true;
    return VLEndsWithNoCase(target, L"\\VelmoraASIODriver64.dll");
}

bool VLIsCoreModulePath(const VLString& source)
{
    for (const wchar_t* name : kCoreModules)
        if (VLContainsNoCase(source, name))
            return true;
    return false;
}

bool VLIsVersionCheckedPath(const VLString& source)
{
    if (source.GetLength() < 2)
        return false;
    const wchar_t* afterFirst = static_cast<const wchar_t*>(source) + 1;
    return ContainsCaseSensitive(afterFirst, L".dll") || ContainsCaseSensitive(afterFirst, L".exe") ||
           ContainsCaseSensitive(afterFirst, L".ocx") || ContainsCaseSensitive(afterFirst, L".ax");
}

bool VLIsShellExtension(const VLString& path)
{
    return VLEndsWithNoCase(path, L"VLShellExt.dll");
}

bool VLIsRegistrablePath(const VLString& source)
{
    bool component = ContainsCaseSensitive(source, L".dll") || ContainsCaseSensitive(source, L".ocx") ||
                     ContainsCaseSensitive(source, L".ax");
    return component && !VLIsShellExtension(source);
}

CPlacementDecision VLDecidePlacement(const CPlaceInput& in, IFileVersionSource& versions)
{
    CPlacementDecision out;
    if (!in.Source || !in.Target)
        return out;
    static const VLString kNoFolder;
    out.Is64BitFile = VLIs64BitTarget(*in.Target, in.X64Folder ? *in.X64Folder : kNoFolder);
    if (out.Is64BitFile && !in.Is64BitWindows)
        out.Action = EPlaceDecision::Skip64BitOn32;
    else if (VLIsCoreModulePath(*in.Source))
        out.Action = EPlaceDecision::LeaveCoreModule;
    else if (in.Mode != kModeCheckVersion || !VLIsVersionCheckedPath(*in.Source) || !versions.Available())
        out.Action = EPlaceDecision::Copy;
    else
        // Unsigned: a missing target (0) loses against any versioned source,
        // and a source without a version (0) never replaces anything.
        out.Action = versions.Version(*in.Source) > versions.Version(*in.Target) ? EPlaceDecision::Copy
                                                                                 : EPlaceDecision::KeepExisting;
    return out;
}

ERegistration VLDecideRegistration(const VLString& source, bool deferred, bool is64BitFile,
                                   bool haveRegistrationList)
{
    if (!VLIsRegistrablePath(source))
        return ERegistration::None;
    if (deferred)
        return ERegistration::AtRestart;
    if (is64BitFile)
        return ERegistration::RegSvr32x64;
    if (haveRegistrationList)
        return ERegistration::AddToList;
    return ERegistration::InProcess;
}

CCopyFailureOutcome VLDecideCopyFailure(bool replacedAtRestart, const VLString& source,
                                        const VLString& target)
{
    CCopyFailureOutcome out;
    if (!replacedAtRestart) {
        out.Stage = true;
        return out;
    }
    out.Deferred = true;
    if (VLIsShellExtension(source))
        out.ClearShellExtension = true;
    else if (!VLContainsNoCase(target, L"Windows\\Fonts"))
        out.SetRestartRequired = true;  // fonts are taken up without a restart
    return out;
}
