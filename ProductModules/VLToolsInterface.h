#pragma once
// Interface of the product tools module, the product's own DLL that the
// installer loads from the package's "Quenbox\" folder. The DLL exports
// "GetVLToolsDLL"; everything else is reached through the interfaces below.
//
// Rules of the boundary:
// - Only plain types cross it (wide texts, integers, handles). Texts come
//   back through IVLTextSink/IVLListSink, so no heap block ever changes module.
// - Objects the module hands out are released with their Release().
// - The interface carries a version; a host accepts a module whose version is
//   >= the one it was built for. Members are only ever appended, never
//   removed or reordered; a retired member keeps its slot.

#include <windows.h>

constexpr int kVLToolsInterfaceVersion = 1;

// Receives one text answer. The callee calls Set at most once; when it does
// not, the caller keeps its default.
struct IVLTextSink {
    virtual void Set(const wchar_t* text, int length) = 0;  // length -1: up to the terminator
};

// Receives the items of a list answer, in order. `type` is a registry value
// type for value lists and 0 otherwise.
struct IVLListSink {
    virtual void Add(const wchar_t* text, int length, DWORD type) = 0;
};

// Product information of the loaded product.
struct IVLProductInfo {
    // Name forms: 0, 1, 5 display names; 2 family name without version;
    // 3 name with version (records and folders). False for another form.
    virtual bool GetName(int form, IVLTextSink& out) = 0;
    virtual bool GetVersion(IVLTextSink& out) = 0;       // version designation, "22.0.1.1805"
    virtual bool GetWebAddress(IVLTextSink& out) = 0;
    virtual bool GetMainProgram(IVLTextSink& out) = 0;   // file name of the main program
    virtual bool GetLauncherName(IVLTextSink& out) = 0;  // file name of the launcher
    virtual bool GetLauncherPath(IVLTextSink& out) = 0;  // relative to the install folder
    virtual bool GetStartMenuFolder(IVLTextSink& out) = 0;
    virtual bool GetFileExtension(IVLTextSink& out) = 0;  // without the dot
    virtual void GetMimeTypes(IVLListSink& out) = 0;
    virtual void GetProtocols(IVLListSink& out) = 0;
    virtual bool GetText(int number, IVLTextSink& out) = 0;  // 15: dependency download address
    virtual bool HasFeature(int number) = 0;
    // Configuration values by "/*/Section/Key" path; the default when absent.
    virtual void GetValue(const wchar_t* path, const wchar_t* defaultValue, IVLTextSink& out) = 0;
    virtual int GetValueInt(const wchar_t* path, int defaultValue) = 0;
    // A running copy of the product: its main window (class "QBFrame").
    virtual bool IsRunning() = 0;
    virtual HWND GetMainWindow() = 0;
    // Asks the running copy to close and waits up to timeoutMs; true when none runs afterwards.
    virtual bool CloseRunning(DWORD timeoutMs) = 0;
};

// A settings section or a registry key: named integer and text values and
// sub-sections. Writes are best effort and report success.
struct IVLSection {
    virtual void Release() = 0;
    virtual bool GetPath(IVLTextSink& out) = 0;  // full path, for uninstall records
    virtual int GetInt(const wchar_t* name, int defaultValue) = 0;
    virtual void GetText(const wchar_t* name, const wchar_t* defaultValue, IVLTextSink& out) = 0;
    virtual bool SetInt(const wchar_t* name, int value) = 0;
    virtual bool SetText(const wchar_t* name, const wchar_t* value) = 0;
    // kind 0: plain text, 2: path text (expandable).
    virtual bool SetTextOfKind(const wchar_t* name, const wchar_t* value, int kind) = 0;
    virtual bool RemoveValue(const wchar_t* name) = 0;  // absent counts as removed
    virtual bool RemoveAllValues() = 0;
    virtual bool RemoveSection(const wchar_t* name) = 0;  // with everything below it
    virtual bool CreateSection(const wchar_t* name) = 0;
    virtual void ListSections(IVLListSink& out) = 0;
    virtual void ListValues(IVLListSink& out) = 0;  // names with their registry types
};

// Settings scopes: 0 the current user's settings, 1 the machine's.
constexpr int kVLScopeUser = 0;
constexpr int kVLScopeMachine = 1;

struct IVLSettings {
    // Opens (creating when missing) a section by path; "" is the root.
    // Null when it cannot be opened.
    virtual IVLSection* OpenSection(const wchar_t* path, int scope) = 0;
    // A registry key with the section interface; null when it cannot be opened.
    virtual IVLSection* OpenRegistryKey(HKEY root, const wchar_t* path, bool create) = 0;
    // Imports every "*.settings" file of the folder into the user's settings.
    virtual bool ImportDefaults(const wchar_t* folder) = 0;
};

struct IVLLanguage {
    // The text in the current language; the text itself when there is no translation.
    virtual void Translate(const wchar_t* text, IVLTextSink& out) = 0;
    virtual void GetLanguageName(IVLTextSink& out) = 0;
    // Lets the user choose the language; true when one was chosen.
    virtual bool ShowLanguageSelection(HWND owner) = 0;
};

struct IVLMessages {
    // A modal box with the given button captions (1 to 256). Returns the
    // index of the pressed button; Escape or closing the box gives the last
    // index (the cancelling choice); -1 when the box could not be shown.
    virtual int ShowBox(HWND owner, const wchar_t* caption, const wchar_t* text, const wchar_t* const* buttons,
                        int buttonCount) = 0;
    // "Yes"/"No" box: IDYES (6) or IDNO (7).
    virtual int ShowYesNo(HWND owner, const wchar_t* caption, const wchar_t* text) = 0;
};

struct IVLToolsTextServices {
    // Case-insensitive search from start; index of the match or -1.
    virtual int FindNoCase(const wchar_t* text, const wchar_t* pattern, int start) = 0;
    // Sign of the comparison. Mode 4 (and 1): case-insensitive, digit runs
    // ordered by value ("file2" < "file10"); other modes: case-insensitive.
    virtual int Compare(const wchar_t* a, const wchar_t* b, int mode) = 0;
};

struct IVLFileServices {
    virtual bool FolderExists(const wchar_t* folder) = 0;
    virtual bool CreateFolder(const wchar_t* folder) = 0;  // with its parents
    // Unpacks a zip archive into folder; without keepFolders every file lands
    // directly in folder. Entries that would land outside folder are refused
    // and fail the whole call before anything is written.
    virtual bool Unzip(const wchar_t* archive, const wchar_t* folder, bool keepFolders) = 0;
};

// A system-wide named lock.
struct IVLNamedLock {
    virtual void Release() = 0;
    virtual bool Lock(DWORD timeoutMs) = 0;
    virtual void Unlock() = 0;
};

struct IVLTools {
    virtual int GetInterfaceVersion() = 0;
    // Loads the product information; "" is the default product. On failure
    // the error text goes to `error` and the result is false.
    virtual bool LoadProduct(const wchar_t* productName, IVLTextSink& error) = 0;
    virtual bool IsProductLoaded() = 0;
    virtual IVLProductInfo* GetProductInfo() = 0;  // null before LoadProduct
    virtual IVLSettings* GetSettings() = 0;
    virtual IVLLanguage* GetLanguage() = 0;
    virtual IVLMessages* GetMessages() = 0;
    virtual IVLToolsTextServices* GetTextServices() = 0;
    virtual IVLFileServices* GetFileServices() = 0;
    virtual IVLNamedLock* CreateNamedLock(const wchar_t* name) = 0;  // null on failure
    virtual void GetLocalDateTime(IVLTextSink& out) = 0;  // "yyyy-mm-dd hh:mm:ss"
    // The process record's paths changed (the installed product's folder was
    // found or the destination chosen).
    virtual void OnProcessPathsChanged() = 0;
    virtual void* GetSkinService() = 0;  // optional; null when not offered
    // Pumps messages until WM_QUIT; returns its exit code.
    virtual int RunMessageLoop() = 0;
    // Dispatches the waiting messages; false once WM_QUIT was seen.
    virtual bool PumpMessages() = 0;
    virtual void SetKeyboardFocus(HWND window) = 0;
    // Services by number, handed unread to plug-ins (13). Null when unknown.
    virtual void* GetService(int number) = 0;
    // Told the host's instance handle just before the module is released.
    virtual void Detach(HINSTANCE hostInstance) = 0;
};

// Entry "GetVLToolsDLL": the module's interface, or null when it cannot
// serve hostVersion.
using VLGetToolsFn = IVLTools* (*)(int hostVersion);
constexpr const char* kVLToolsEntryName = "GetVLToolsDLL";
