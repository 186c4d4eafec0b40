// Shell links written and read back through the shell's own link object.
#include "EngineTestSupport.h"
#include "FilePlacer.h"
#include "VLHandle.h"

#include <shlobj.h>

TEST(Shortcut, WritesTargetArgumentsAndIcon)
{
    VLComInit com;
    ASSERT_TRUE(com.Succeeded());
    VLString folder = ScratchFolder();
    VLString link = folder + L"Auralis 22.lnk";
    VLString target = L"C:\\Program Files\\Auralis 22\\Nuvicore.exe";
    VLString icon = L"C:\\Program Files\\Auralis 22\\Data\\Default Art\\Application.ico";
    ASSERT_EQ(VLCreateShortcut(link, target, L"/MediaServer", &icon), S_OK);

    VLComPtr<IShellLinkW> shell;
    ASSERT_EQ(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shell.PutVoid()), S_OK);
    VLComPtr<IPersistFile> file;
    ASSERT_EQ(shell->QueryInterface(IID_IPersistFile, file.PutVoid()), S_OK);
    ASSERT_EQ(file->Load(link, STGM_READ), S_OK);
    wchar_t buffer[MAX_PATH] = {};
    ASSERT_EQ(shell->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH), S_OK);
    EXPECT_STREQ(buffer, target);
    ASSERT_EQ(shell->GetArguments(buffer, MAX_PATH), S_OK);
    EXPECT_STREQ(buffer, L"/MediaServer");
    int index = -1;
    ASSERT_EQ(shell->GetIconLocation(buffer, MAX_PATH, &index), S_OK);
    EXPECT_STREQ(buffer, icon);
    EXPECT_EQ(index, 0);

    // No icon and no arguments; a folder that does not exist fails.
    EXPECT_EQ(VLCreateShortcut(folder + L"Plain.lnk", target, VLString(), nullptr), S_OK);
    EXPECT_NE(VLCreateShortcut(folder + L"Missing\\Plain.lnk", target, VLString(), nullptr), S_OK);
}
