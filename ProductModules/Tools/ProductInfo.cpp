#include "ProductInfo.h"

#include "ToolsSinks.h"
#include "VLStringArray.h"

namespace {

constexpr const wchar_t* kMainWindowClass = L"QBFrame";

bool FileExists(const wchar_t* path)
{
    DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

VLString ParentFolder(const VLString& folder)
{
    VLString parent = folder;
    parent.TrimTrailingBackslashes();
    int slash = parent.ReverseFind(L'\\');
    return slash >= 0 ? parent.Left(slash + 1) : VLString();
}

}  // namespace

bool CProductInfo::Load(const VLString& moduleFolder, const wchar_t* productName, VLString& error)
{
    if (!m_document.Load(moduleFolder + CProductDocument::kFileName, error))
        return false;
    if (productName != nullptr && productName[0] != 0 && m_document.Get(L"Name2").CompareNoCase(productName) != 0 &&
        m_document.Get(L"Name3").CompareNoCase(productName) != 0) {
        error = VLString::Format(L"The product \"%s\" is not known to this module.", productName);
        return false;
    }
    // Install.xml beside the installer (the module folder's parent), else one up.
    VLString installerFolder = ParentFolder(moduleFolder);
    m_configurationPath = installerFolder + L"Install.xml";
    if (!FileExists(m_configurationPath)) {
        m_configurationPath = ParentFolder(installerFolder) + L"Install.xml";
        if (installerFolder.IsEmpty() || !FileExists(m_configurationPath))
            m_configurationPath.Empty();
    }
    // A missing or broken Install.xml leaves every value at its default.
    m_hasConfiguration = !m_configurationPath.IsEmpty() && m_configuration.Load(m_configurationPath);
    return true;
}

bool CProductInfo::GetName(int form, IVLTextSink& out)
{
    if (form < 0 || form > 5 || form == 4)
        return false;
    return Answer(VLString::Format(L"Name%d", form), out);
}

bool CProductInfo::Answer(const wchar_t* key, IVLTextSink& out)
{
    if (!m_document.Has(key))
        return false;
    SinkSet(out, m_document.Get(key));
    return true;
}

void CProductInfo::AnswerList(const wchar_t* key, IVLListSink& out)
{
    VLStringArray items;
    items.Split(m_document.Get(key), L";", true);
    for (int i = 0; i < items.GetCount(); ++i)
        if (!items[i].IsEmpty())
            out.Add(items[i], items[i].GetLength(), 0);
}

bool CProductInfo::GetText(int number, IVLTextSink& out)
{
    return Answer(VLString::Format(L"Text%d", number), out);
}

bool CProductInfo::FindValue(const wchar_t* path, VLString& value)
{
    if (!m_hasConfiguration || path == nullptr)
        return false;
    m_configuration.ResetPos();
    if (!m_configuration.FindElem(path))
        return false;
    value = m_configuration.GetData();
    return true;
}

bool CProductInfo::HasFeature(int number)
{
    VLString list;
    if (!FindValue(L"/*/Product/Features", list))
        return false;
    VLStringArray numbers;
    numbers.Split(list, L";", true);
    for (int i = 0; i < numbers.GetCount(); ++i)
        if (!numbers[i].IsEmpty() && numbers[i].ToInt() == number)
            return true;
    return false;
}

void CProductInfo::GetValue(const wchar_t* path, const wchar_t* defaultValue, IVLTextSink& out)
{
    VLString value;
    if (FindValue(path, value) && !value.IsEmpty())
        SinkSet(out, value);
    else
        out.Set(defaultValue != nullptr ? defaultValue : L"", -1);
}

int CProductInfo::GetValueInt(const wchar_t* path, int defaultValue)
{
    VLString value;
    if (!FindValue(path, value))
        return defaultValue;
    value.Trim();
    return value.IsEmpty() ? defaultValue : value.ToInt();
}

HWND CProductInfo::GetMainWindow()
{
    return ::FindWindowW(kMainWindowClass, nullptr);
}

bool CProductInfo::CloseRunning(DWORD timeoutMs)
{
    HWND window = GetMainWindow();
    if (window == nullptr)
        return true;
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    const ULONGLONG until = ::GetTickCount64() + timeoutMs;
    while (::IsWindow(window)) {
        if (::GetTickCount64() >= until)
            return false;
        ::Sleep(50);
    }
    return GetMainWindow() == nullptr;
}
