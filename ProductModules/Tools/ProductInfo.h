#pragma once
// Product information: identity from the product document, configuration
// values by path and feature switches from the package's Install.xml.

#include "ProductDocument.h"
#include "VLString.h"
#include "VLToolsInterface.h"
#include "VLXmlDocument.h"

class CProductInfo final : public IVLProductInfo {
public:
    // moduleFolder: the folder of the tools module, with a trailing
    // backslash. Install.xml is looked for in its parent, then one up.
    bool Load(const VLString& moduleFolder, const wchar_t* productName, VLString& error);
    const CProductDocument& Document() const { return m_document; }

    bool GetName(int form, IVLTextSink& out) override;
    bool GetVersion(IVLTextSink& out) override { return Answer(L"Version", out); }
    bool GetWebAddress(IVLTextSink& out) override { return Answer(L"WebAddress", out); }
    bool GetMainProgram(IVLTextSink& out) override { return Answer(L"MainProgram", out); }
    bool GetLauncherName(IVLTextSink& out) override { return Answer(L"LauncherName", out); }
    bool GetLauncherPath(IVLTextSink& out) override { return Answer(L"LauncherPath", out); }
    bool GetStartMenuFolder(IVLTextSink& out) override { return Answer(L"StartMenuFolder", out); }
    bool GetFileExtension(IVLTextSink& out) override { return Answer(L"FileExtension", out); }
    void GetMimeTypes(IVLListSink& out) override { AnswerList(L"MimeTypes", out); }
    void GetProtocols(IVLListSink& out) override { AnswerList(L"Protocols", out); }
    bool GetText(int number, IVLTextSink& out) override;
    bool HasFeature(int number) override;
    void GetValue(const wchar_t* path, const wchar_t* defaultValue, IVLTextSink& out) override;
    int GetValueInt(const wchar_t* path, int defaultValue) override;
    bool IsRunning() override { return GetMainWindow() != nullptr; }
    HWND GetMainWindow() override;
    bool CloseRunning(DWORD timeoutMs) override;

    // The path of Install.xml in use, empty when none was found.
    const VLString& GetConfigurationPath() const { return m_configurationPath; }

private:
    bool Answer(const wchar_t* key, IVLTextSink& out);
    void AnswerList(const wchar_t* key, IVLListSink& out);
    // The element's text, or false when the path names no element.
    bool FindValue(const wchar_t* path, VLString& value);

    CProductDocument m_document;
    VLXmlDocument m_configuration;
    bool m_hasConfiguration = false;
    VLString m_configurationPath;
};
