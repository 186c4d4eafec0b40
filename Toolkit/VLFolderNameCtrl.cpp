#include "VLFolderNameCtrl.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>

#include "CLayoutHelper.h"
#include "VLHandle.h"
#include "VLLayoutUnits.h"

namespace {

struct VLCoTaskMemTraits {
    using Type = wchar_t*;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type p) noexcept { ::CoTaskMemFree(p); }
};
struct VLItemIdListTraits {
    using Type = PIDLIST_ABSOLUTE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type p) noexcept { ::CoTaskMemFree(p); }
};

// The Vista folder picker; false when it is not available or was cancelled
// (`available` tells which).
bool PickWithFileDialog(HWND owner, const VLString& title, const VLString& start, VLString& chosen, bool& available)
{
    available = false;
    VLComPtr<IFileOpenDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                  dialog.PutVoid())))
        return false;
    DWORD options = 0;
    if (FAILED(dialog->GetOptions(&options)) ||
        FAILED(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST)))
        return false;
    available = true;
    if (!title.IsEmpty())
        dialog->SetTitle(title.GetString());
    if (!start.IsEmpty()) {
        VLComPtr<IShellItem> folder;
        if (SUCCEEDED(::SHCreateItemFromParsingName(start.GetString(), nullptr, IID_IShellItem, folder.PutVoid())))
            dialog->SetFolder(folder.Get());
    }
    if (FAILED(dialog->Show(owner)))
        return false;
    VLComPtr<IShellItem> result;
    if (FAILED(dialog->GetResult(result.Put())))
        return false;
    VLUniqueHandle<VLCoTaskMemTraits> path;
    if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, path.Put())) || !path.Get())
        return false;
    chosen = path.Get();
    return true;
}

bool PickWithBrowseDialog(HWND owner, const VLString& title, VLString& chosen)
{
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.GetString();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    VLUniqueHandle<VLItemIdListTraits> list(::SHBrowseForFolderW(&info));
    if (!list)
        return false;
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(list.Get(), path))
        return false;
    chosen = path;
    return true;
}

}  // namespace

bool VLFolderNameCtrl::Create(HWND parent, const RECT& rect, UINT id, const VLString& buttonText,
                              const VLString& chooserTitle)
{
    m_buttonText = buttonText;
    m_chooserTitle = chooserTitle;
    CreateArgs args;
    args.className = L"VLFolderNameCtrl";
    args.parent = parent;
    args.rect = rect;
    args.id = id;
    args.exStyle = WS_EX_CONTROLPARENT;
    return VLWnd::Create(args);
}

void VLFolderNameCtrl::OnCreate()
{
    VLControl::CreateArgs args;
    args.parent = m_hwnd;
    args.id = 1;
    (void)m_edit.Create(args);
    args.id = 2;
    args.text = m_buttonText;
    (void)m_button.Create(args);
    m_button.SetOnClick([this]() { ChooseFolder(); });
}

void VLFolderNameCtrl::OnSize(int width, int height)
{
    using VLLayoutUnits::Scale;
    int buttonWidth =
        std::max(Scale(75), CLayoutHelper::MeasureTextWidth(m_buttonText, VLLayoutUnits::GetFont()) + Scale(16));
    CLayoutHelper layout(RECT{0, 0, width, height}, Scale(8));
    m_button.Move(layout.TakeRight(buttonWidth));
    m_edit.Move(layout.GetRemaining());
}

bool VLFolderNameCtrl::ChooseFolder()
{
    HWND owner = ::GetAncestor(m_hwnd, GA_ROOT);
    VLString start = GetPath();
    VLString chosen;
    bool available = false;
    bool ok = PickWithFileDialog(owner, m_chooserTitle, start, chosen, available);
    if (!available)
        ok = PickWithBrowseDialog(owner, m_chooserTitle, chosen);
    if (!ok)
        return false;
    SetPath(chosen);
    return true;
}
