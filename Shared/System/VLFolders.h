#pragma once
// Where things are on this machine. Every result is a folder path with one
// trailing backslash, or empty when Windows has no such folder.

#include "VLString.h"

class VLFolders {
public:
    // "ProgramFilesDir" under HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion
    // (the caller's own view), else "C:\Program Files\".
    static VLString GetProgramFilesFolder();
    static VLString GetSystemFolder();
    static VLString GetWindowsFolder();
    static VLString GetFontsFolder();
    // A shell special folder by CSIDL number.
    static VLString GetSpecialFolder(int csidl);
    static VLString GetAppDataFolder();             // CSIDL 26
    static VLString GetCommonProgramsFolder();      // CSIDL 23
    static VLString GetCommonDesktopFolder();       // CSIDL 25
    // CSIDL 13, else the documents folder (CSIDL 5) followed by "My Music".
    static VLString GetMusicFolder();
    // The folder of the running executable.
    static VLString GetProgramFolder();
    // The user's temporary folder.
    static VLString GetTempFolder();

    // The installed product's program folder, set once it is known (the
    // installed-program lookup); until then the folder of the running
    // executable. Used for "(Install Drive):" and the product's own programs.
    static VLString GetInstalledProductFolder();
    static void SetInstalledProductFolder(const VLString& folder);
};
