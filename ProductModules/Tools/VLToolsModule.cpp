// The product tools module: the DLL's entry and the object behind IVLTools.
#include "Language.h"
#include "MessageDialog.h"
#include "ProductInfo.h"
#include "SettingsStore.h"
#include "ToolsSinks.h"
#include "VLHandle.h"
#include "VLTextServices.h"
#include "VLToolsInterface.h"
#include "ZipArchive.h"

#include <memory>

namespace {

HINSTANCE g_module = nullptr;

VLString ModuleFolder()
{
    wchar_t path[MAX_PATH * 4];
    DWORD length = ::GetModuleFileNameW(g_module, path, static_cast<DWORD>(std::size(path)));
    VLString folder(path, length < std::size(path) ? static_cast<int>(length) : 0);
    int slash = folder.ReverseFind(L'\\');
    return slash >= 0 ? folder.Left(slash + 1) : VLString();
}

class CTextServices final : public IVLToolsTextServices {
public:
    int FindNoCase(const wchar_t* text, const wchar_t* pattern, int start) override
    {
        if (text == nullptr || pattern == nullptr || start < 0 || start > static_cast<int>(std::wcslen(text)))
            return -1;
        int found = VLDefaultTextServices()->FindNoCase(text + start, pattern);
        return found < 0 ? -1 : found + start;
    }
    int Compare(const wchar_t* a, const wchar_t* b, int mode) override
    {
        // Every mode but 4 compares without case; 4 also orders digit runs by value.
        int result = VLDefaultTextServices()->Compare(a != nullptr ? a : L"", b != nullptr ? b : L"",
                                                      mode == VLCompareLogical ? VLCompareLogical : VLCompareNoCase);
        return result < 0 ? -1 : result > 0 ? 1 : 0;
    }
};

class CFileServices final : public IVLFileServices {
public:
    bool FolderExists(const wchar_t* folder) override
    {
        if (folder == nullptr || folder[0] == 0)
            return false;
        VLString path = folder;
        if (path.GetLength() > 3)
            path.TrimTrailingBackslashes();
        DWORD attributes = ::GetFileAttributesW(path);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool CreateFolder(const wchar_t* folder) override
    {
        if (folder == nullptr || folder[0] == 0)
            return false;
        VLString path = folder;
        if (path.GetLast() != L'\\')
            path += L'\\';
        for (int i = 3; i < path.GetLength(); ++i) {
            if (path[i] != L'\\')
                continue;
            VLString part = path.Left(i);
            if (!FolderExists(part) && !::CreateDirectoryW(part, nullptr) && !FolderExists(part))
                return false;
        }
        return FolderExists(path);
    }
    bool Unzip(const wchar_t* archive, const wchar_t* folder, bool keepFolders) override
    {
        VLString error;
        if (!CZipArchive::Extract(archive, folder, keepFolders, error)) {
            m_lastError = error;
            return false;
        }
        return true;
    }
    VLString m_lastError;
};

class CNamedLock final : public IVLNamedLock {
public:
    explicit CNamedLock(HANDLE mutex) : m_mutex(mutex) {}
    ~CNamedLock()
    {
        while (m_depth > 0)
            Unlock();
    }
    void Release() override { delete this; }
    bool Lock(DWORD timeoutMs) override
    {
        DWORD rc = ::WaitForSingleObject(m_mutex.Get(), timeoutMs);
        if (rc != WAIT_OBJECT_0 && rc != WAIT_ABANDONED)  // an abandoned lock is ours now
            return false;
        ++m_depth;
        return true;
    }
    void Unlock() override
    {
        if (m_depth > 0 && ::ReleaseMutex(m_mutex.Get()))
            --m_depth;
    }

private:
    VLUniqueHandleObj m_mutex;
    int m_depth = 0;
};

class CToolsModule final : public IVLTools {
public:
    int GetInterfaceVersion() override { return kVLToolsInterfaceVersion; }

    bool LoadProduct(const wchar_t* productName, IVLTextSink& error) override
    {
        if (m_productLoaded)
            return true;
        VLString message;
        auto info = std::make_unique<CProductInfo>();
        if (!info->Load(ModuleFolder(), productName, message)) {
            SinkSet(error, message);
            return false;
        }
        m_info = std::move(info);
        m_settings.SetProductKey(m_info->Document().Get(L"SettingsKey"));
        m_language.Initialize(ModuleFolder(), m_info->Document().Get(L"Language"), &m_settings);
        m_productLoaded = true;
        return true;
    }
    bool IsProductLoaded() override { return m_productLoaded; }
    IVLProductInfo* GetProductInfo() override { return m_info.get(); }
    IVLSettings* GetSettings() override { return &m_settings; }
    IVLLanguage* GetLanguage() override { return &m_language; }
    IVLMessages* GetMessages() override { return &m_messages; }
    IVLToolsTextServices* GetTextServices() override { return &m_text; }
    IVLFileServices* GetFileServices() override { return &m_files; }

    IVLNamedLock* CreateNamedLock(const wchar_t* name) override
    {
        if (name == nullptr || name[0] == 0)
            return nullptr;
        VLString full = VLString(L"Global\\") + name;
        full.Replace(L'\\', L'_');
        full = VLString(L"Global\\") + full.Mid(7);  // only the namespace keeps its backslash
        HANDLE mutex = ::CreateMutexW(nullptr, FALSE, full);
        return mutex != nullptr ? new CNamedLock(mutex) : nullptr;
    }

    void GetLocalDateTime(IVLTextSink& out) override
    {
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        SinkSet(out, VLString::Format(L"%04d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
                                      now.wMinute, now.wSecond));
    }

    // This module finds its files beside itself, so no path of the record
    // changes what it reads.
    void OnProcessPathsChanged() override {}
    void* GetSkinService() override { return nullptr; }

    int RunMessageLoop() override
    {
        MSG message{};
        BOOL rc;
        while ((rc = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
            if (rc == -1)
                return -1;
            Dispatch(message);
        }
        return static_cast<int>(message.wParam);
    }
    bool PumpMessages() override
    {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the outer loop
                return false;
            }
            Dispatch(message);
        }
        return true;
    }
    void SetKeyboardFocus(HWND window) override
    {
        if (window != nullptr && ::IsWindow(window))
            ::SetFocus(window);
    }
    void* GetService(int number) override { return number == 13 ? static_cast<IVLTools*>(this) : nullptr; }
    void Detach(HINSTANCE) override {}

private:
    static void Dispatch(MSG& message)
    {
        // Dialog navigation (Tab, Enter, Escape) for modeless dialogs.
        HWND root = message.hwnd != nullptr ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root != nullptr && ::IsDialogMessageW(root, &message))
            return;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }

    class CMessages final : public IVLMessages {
    public:
        explicit CMessages(CLanguage& language) : m_language(language) {}
        int ShowBox(HWND owner, const wchar_t* caption, const wchar_t* text, const wchar_t* const* buttons,
                    int count) override
        {
            return CMessageDialog::Show(owner, caption, text, buttons, count);
        }
        int ShowYesNo(HWND owner, const wchar_t* caption, const wchar_t* text) override
        {
            struct Sink : IVLTextSink {
                VLString value;
                void Set(const wchar_t* t, int n) override { value = n < 0 ? VLString(t) : VLString(t, n); }
            } yes, no;
            m_language.Translate(L"Yes", yes);
            m_language.Translate(L"No", no);
            const wchar_t* buttons[] = {yes.value, no.value};
            return CMessageDialog::Show(owner, caption, text, buttons, 2) == 0 ? IDYES : IDNO;
        }

    private:
        CLanguage& m_language;
    };

    bool m_productLoaded = false;
    std::unique_ptr<CProductInfo> m_info;
    CSettingsStore m_settings;
    CLanguage m_language;
    CMessages m_messages{m_language};
    CTextServices m_text;
    CFileServices m_files;
};

}  // namespace

extern "C" __declspec(dllexport) IVLTools* GetVLToolsDLL(int hostVersion)
{
    // One object per process, made on first request and kept until unload.
    static CToolsModule s_module;
    if (hostVersion > kVLToolsInterfaceVersion)
        return nullptr;  // the host needs members this module lacks
    return &s_module;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
