#include "InstallConfiguration.h"

#include "VLFileLister.h"
#include "VLFileSystem.h"
#include "VLXmlDocument.h"

namespace {

bool IsAbsolute(const VLString& path)
{
    const wchar_t* s = path.GetString();
    if (s[0] == L'\\' && s[1] == L'\\')
        return true;
    bool letter = (s[0] >= L'a' && s[0] <= L'z') || (s[0] >= L'A' && s[0] <= L'Z');
    return letter && s[1] == L':' && s[2] == L'\\';
}

VLString WithTrailingBackslash(VLString path)
{
    if (!path.IsEmpty() && path.GetLast() != L'\\')
        path += L'\\';
    return path;
}

// Splits at backslashes, drops "." and empty segments and lets ".." take
// away the segment before it. The drive or the UNC server name is never
// taken away: "C:\..\x" stays on C:.
VLString NormalizeSegments(const VLString& path)
{
    const wchar_t* s = path.GetString();
    const int length = path.GetLength();
    VLString lead;
    int pos = 0;
    if (length >= 2 && s[0] == L'\\' && s[1] == L'\\') {
        lead = L"\\\\";
        pos = 2;
    }
    VLStringArray segments;
    int keep = 0;  // leading segments that ".." must not remove
    while (pos <= length) {
        int end = pos;
        while (end < length && s[end] != L'\\')
            ++end;
        VLString segment(s + pos, end - pos);
        pos = end + 1;
        if (segment.IsEmpty() || segment == L".")
            continue;
        if (segments.GetCount() == 0 && (!lead.IsEmpty() || (segment.GetLength() == 2 && segment[1] == L':')))
            keep = 1;
        if (segment == L".." && segments.GetCount() > keep && !(segments[segments.GetCount() - 1] == L"..")) {
            segments.RemoveAt(segments.GetCount() - 1);
            continue;
        }
        if (segment == L".." && segments.GetCount() <= keep && keep)
            continue;  // already at the root
        segments.Add(segment);
    }
    VLString out = lead;
    for (int i = 0; i < segments.GetCount(); ++i) {
        out += segments[i];
        out += L'\\';
    }
    return out;
}

}  // namespace

VLString ResolveConfigurationFolder(const VLString& documentPath, const VLString& value)
{
    if (value.IsEmpty())
        return VLString();
    if (IsAbsolute(value))
        return WithTrailingBackslash(value);
    int slash = documentPath.ReverseFind(L'\\');
    VLString combined = slash >= 0 ? documentPath.Left(slash + 1) : VLString();
    combined += value;
    return NormalizeSegments(combined);
}

bool LoadInstallConfiguration(const VLString& installerFolder, const InstallConfigurationFields& fields,
                              const InstallFolderExists& folderExists)
{
    auto exists = [&folderExists](const VLString& folder) {
        return folderExists ? folderExists(folder) : VLFileSystem::DirectoryExists(folder);
    };

    fields.SupportFolders.Add(installerFolder + L"Support\\");
    fields.LibraryFolder = installerFolder + L"Library\\";

    VLString documentPath = installerFolder + L"Install.xml";
    if (!VLFileSystem::FileExists(documentPath))
        documentPath = installerFolder + L"..\\Install.xml";

    VLXmlDocument doc;
    if (!doc.Load(documentPath))
        return true;
    if (!doc.FindElem(L"/VLIC"))
        return true;
    if (doc.GetAttrib(L"version").ToDouble() < 1.0)
        return true;
    if (!doc.FindChildElem(L"Settings", true))
        return true;
    doc.IntoElem();  // Settings is current; each lookup starts at its first child

    // Values on their own lines carry the line breaks around them; a folder
    // name never starts or ends with white space, so it is trimmed.
    VLString support = doc.GetChildData(L"SupportFiles");
    support.Trim();
    if (!support.IsEmpty()) {
        VLString folder = ResolveConfigurationFolder(documentPath, support);
        if (exists(folder))
            fields.SupportFolders.Add(folder);
    }

    VLString downgrade = doc.GetChildData(L"AllowDowngrade");
    if (!downgrade.IsEmpty())
        fields.AllowDowngrade = downgrade.ToInt() != 0;

    VLString media = doc.GetChildData(L"BundledMedia");
    media.Trim();
    if (!media.IsEmpty()) {
        VLString folder = ResolveConfigurationFolder(documentPath, media);
        if (exists(folder))
            fields.MediaFolder = folder;
    }
    doc.OutOfElem();
    return true;
}

VLString FindSupportFile(const VLStringArray& supportFolders, const VLString& name, bool mustExist)
{
    if (supportFolders.GetCount() == 0)
        return VLString();
    if (!mustExist)
        return supportFolders[0] + name;
    for (int i = 0; i < supportFolders.GetCount(); ++i) {
        VLString path = supportFolders[i] + name;
        if (VLFileSystem::FileExists(path))
            return path;
    }
    return VLString();
}

void CollectPackages(const VLStringArray& supportFolders, VLStringArray& packages)
{
    VLFileLister lister;
    VLStringArray extensions;
    extensions.Add(L"qbp");
    lister.SetExtensions(extensions);
    for (int i = 0; i < supportFolders.GetCount(); ++i)
        lister.List(supportFolders[i], packages);
}
