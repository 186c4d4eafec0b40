#include "CShellIdentity.h"

#include "VLPath.h"
#include "VLToolsInterface.h"

namespace {

struct Sink final : IVLTextSink {
    VLString value;
    void Set(const wchar_t* text, int length) override
    {
        value = text == nullptr ? VLString() : length < 0 ? VLString(text) : VLString(text, length);
    }
};

template <class F>
VLString Ask(F&& call)
{
    Sink sink;
    call(sink);
    return sink.value;
}

}  // namespace

CShellIdentity CShellIdentity::FromProduct(IVLProductInfo* info, IVLLanguage* language, const VLString& programFolder,
                                           const VLString& installerFolder)
{
    CShellIdentity id;
    id.programFolder = VLPath::AddTrailingBackslash(programFolder);
    id.art = CArtFileLookup::ForProduct(programFolder, installerFolder);
    if (language) {
        id.translate = [language](const VLString& text) {
            return Ask([&](Sink& s) { language->Translate(text.GetString(), s); });
        };
    }
    if (!info)
        return id;
    id.productName = Ask([&](Sink& s) { info->GetName(2, s); });
    id.versionDesignation = Ask([&](Sink& s) { info->GetVersion(s); });
    id.mainProgramName = Ask([&](Sink& s) { info->GetMainProgram(s); });
    id.launcherName = Ask([&](Sink& s) { info->GetLauncherName(s); });
    id.launcherPath = Ask([&](Sink& s) { info->GetLauncherPath(s); });
    if (!id.launcherPath.IsEmpty() && !VLPath::IsValidAbsolutePath(id.launcherPath))
        id.launcherPath = id.programFolder + id.launcherPath;
    id.productExtension = Ask([&](Sink& s) { info->GetFileExtension(s); });
    return id;
}
