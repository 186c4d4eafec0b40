#pragma once
// The record every process of the product family publishes about itself in
// named shared memory ("Velmora Process v22 (<pid>)"), so that the product's
// other programs can find its program file, folders and main window. The
// installer's record also carries the installed product's folder, found in
// the installations record under HKLM.

#include "VLSharedMemory.h"
#include "VLString.h"

#include <cstddef>
#include <cstdint>

class VLProcessRecord {
public:
    static constexpr int kFamilyVersion = 22;
    static constexpr size_t kBlockSize = 3176;
    static constexpr int kTextUnits = 260;  // each text field: 260 UTF-16 units, 0-terminated

    // Byte offsets in the block; every byte not named here stays 0.
    enum Offset : size_t {
        kInitialized = 0,
        kProgramFile = 2,
        kInstallPath = 524,
        kProgramFolder = 1046,
        kModuleFolder = 1568,
        kAppDataFolder = 2090,
        kInstallerFlag = 2612,
        kThreadId = 2616,
        kFixedMarker = 2620,  // 0x80000001
        kPortable = 2624,
        kMainWindow = 3152,
        kFixedMinus1A = 3160,  // -1
        kFixedMinus1B = 3164,  // -1
        kFixedNinetyNine = 3168,  // 99
    };

    // File whose presence beside a program marks a portable installation.
    static constexpr const wchar_t* kPortableMarker = L"Portable.flg";
    static constexpr const wchar_t* kInstallationsKey = L"Software\\Velmora Labs\\Nuvicore\\Installations";

    // The record of this process, created and filled on first use.
    static VLProcessRecord& Get();

    // "Velmora Process v22 (<pid>)".
    static VLString BlockName(DWORD processId);

    // Called after SetInstallPath changed the paths (the tools module is told).
    using PathsChangedFn = void (*)();
    static void SetPathsChangedNotifier(PathsChangedFn fn);

    bool IsOpen() const { return m_block.IsOpen(); }
    bool IsCreatedHere() const { return m_createdHere; }

    // Readers give empty text or 0 when the block is missing.
    VLString GetProgramFile() const { return ReadText(kProgramFile); }
    VLString GetInstallPath() const { return ReadText(kInstallPath); }
    VLString GetProgramFolder() const { return ReadText(kProgramFolder); }
    VLString GetModuleFolder() const { return ReadText(kModuleFolder); }
    VLString GetAppDataFolder() const { return ReadText(kAppDataFolder); }
    HWND GetMainWindow() const;
    bool IsPortable() const { return ReadByte(kPortable) != 0; }
    bool IsInstaller() const { return ReadByte(kInstallerFlag) != 0; }

    // Setters copy at most 260 units.
    void SetProgramFolder(const wchar_t* folder) { WriteText(kProgramFolder, folder); }
    void SetModuleFolder(const wchar_t* folder) { WriteText(kModuleFolder, folder); }
    void SetAppDataFolder(const wchar_t* folder) { WriteText(kAppDataFolder, folder); }
    void SetInstallerFlag(bool on) { WriteByte(kInstallerFlag, on ? 1 : 0); }
    void SetPortable(bool on) { WriteByte(kPortable, on ? 1 : 0); }
    void SetMainWindow(HWND window);

    // Writes the install path (and with folders the program and module
    // folders too), tells the tools module and writes the debugger line.
    // Does nothing when ownRecordOnly is set and this process did not create
    // the record.
    void SetInstallPath(const wchar_t* path, bool withFolders, bool ownRecordOnly);
    // Portable: install path + "Application Data\"; otherwise empty.
    void SetAppDataFolderFromInstallPath();

    // Finds the installed product's folder for this process's program (see
    // FindInstallPath) and hands it to SetInstallPath. Returns the folder.
    VLString Lookup(const wchar_t* productName, bool withFolders, bool ownRecordOnly);

    // The lookup rule, with the program's folder passed in: the folder itself
    // when it holds the portable marker (portable set); else the "Path" of the
    // sub-key of the installations record named productName exactly, or, for
    // an empty name, of the first sub-key whose "Path" contains programFolder.
    // Empty when nothing matches.
    static VLString FindInstallPath(const wchar_t* programFolder, const wchar_t* productName, bool& portable);

    // Opens another process's record for reading (tests, product programs).
    // Never creates or fills anything.
    static bool ReadOther(DWORD processId, VLSharedMemory& block);

private:
    VLProcessRecord();
    void CreateOrAttach();

    VLString ReadText(size_t offset) const;
    void WriteText(size_t offset, const wchar_t* text);
    unsigned char ReadByte(size_t offset) const;
    void WriteByte(size_t offset, unsigned char value);
    void WriteUInt32(size_t offset, uint32_t value);

    VLSharedMemory m_block;
    bool m_createdHere = false;
};
