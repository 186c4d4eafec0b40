#include "FilePlacer.h"

#include "VLHandle.h"

#include <objidl.h>
#include <shlobj.h>

#include <memory>

namespace {

// Texts for the ANSI link interface, in the ANSI code page.
struct AnsiText {
    explicit AnsiText(const VLString& text) : m_text(text.ToAnsi()) {}
    const char* Get() const { return m_text ? m_text.get() : ""; }
    std::unique_ptr<char[]> m_text;
};

template <class Link, class Setter>
HRESULT FillAndSave(Link* link, const VLString& linkFile, Setter&& set)
{
    HRESULT hr = set(link);
    if (FAILED(hr))
        return hr;
    VLComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.PutVoid());
    if (FAILED(hr))
        return hr;
    return file->Save(linkFile, TRUE);
}

}  // namespace

HRESULT VLCreateShortcut(const VLString& linkFile, const VLString& target, const VLString& arguments,
                         const VLString* iconFile)
{
    VLComPtr<IShellLinkW> wide;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, wide.PutVoid());
    if (SUCCEEDED(hr)) {
        return FillAndSave(wide.Get(), linkFile, [&](IShellLinkW* link) {
            HRESULT r = link->SetPath(target);
            if (SUCCEEDED(r))
                r = link->SetDescription(L"");
            if (SUCCEEDED(r))
                r = link->SetArguments(arguments);
            if (SUCCEEDED(r) && iconFile)
                r = link->SetIconLocation(*iconFile, 0);
            return r;
        });
    }
    VLComPtr<IShellLinkA> ansi;
    hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, ansi.PutVoid());
    if (FAILED(hr))
        return hr;
    return FillAndSave(ansi.Get(), linkFile, [&](IShellLinkA* link) {
        HRESULT r = link->SetPath(AnsiText(target).Get());
        if (SUCCEEDED(r))
            r = link->SetDescription("");
        if (SUCCEEDED(r))
            r = link->SetArguments(AnsiText(arguments).Get());
        if (SUCCEEDED(r) && iconFile)
            r = link->SetIconLocation(AnsiText(*iconFile).Get(), 0);
        return r;
    });
}
