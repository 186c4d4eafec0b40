#include "VLProcessRecord.h"

#include "VLRegistryKey.h"

#include <cstring>

namespace {

VLProcessRecord::PathsChangedFn g_pathsChanged = nullptr;

VLString WithTrailingBackslash(const VLString& folder)
{
    VLString result = folder;
    if (!result.IsEmpty() && result[result.GetLength() - 1] != L'\\')
        result += L'\\';
    return result;
}

VLString ProgramFileOfProcess()
{
    VLString path;
    wchar_t* buffer = path.GetBuffer(32768, false, false);
    DWORD length = ::GetModuleFileNameW(nullptr, buffer, 32768);
    path.ReleaseBuffer(length < 32768 ? static_cast<int>(length) : 0);
    return path;
}

}  // namespace

VLProcessRecord& VLProcessRecord::Get()
{
    // Function-local static: made once, under the runtime's initialisation lock.
    static VLProcessRecord s_record;
    return s_record;
}

VLProcessRecord::VLProcessRecord()
{
    CreateOrAttach();
}

VLString VLProcessRecord::BlockName(DWORD processId)
{
    return VLString::Format(L"Velmora Process v%d (%d)", kFamilyVersion, static_cast<int>(processId));
}

void VLProcessRecord::SetPathsChangedNotifier(PathsChangedFn fn)
{
    g_pathsChanged = fn;
}

bool VLProcessRecord::ReadOther(DWORD processId, VLSharedMemory& block)
{
    block.Close();
    VLString name = BlockName(processId);
    VLUniqueHandleObj mapping(::OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name));
    if (!mapping)
        return false;
    // The block exists, so Open attaches to it rather than making a new one.
    return block.Open(name, kBlockSize);
}

void VLProcessRecord::CreateOrAttach()
{
    if (!m_block.Open(BlockName(::GetCurrentProcessId()), kBlockSize))
        return;
    unsigned char* data = m_block.GetData();
    if (data[kInitialized] != 0)
        return;
    std::memset(data, 0, kBlockSize);
    data[kInitialized] = 1;
    m_createdHere = true;
    WriteText(kProgramFile, ProgramFileOfProcess());
    Lookup(L"", true, false);
    WriteUInt32(kThreadId, ::GetCurrentThreadId());
    WriteUInt32(kFixedMarker, 0x80000001u);
    WriteUInt32(kFixedMinus1A, 0xFFFFFFFFu);
    WriteUInt32(kFixedMinus1B, 0xFFFFFFFFu);
    WriteUInt32(kFixedNinetyNine, 99);
    SetAppDataFolderFromInstallPath();
}

VLString VLProcessRecord::ReadText(size_t offset) const
{
    if (!m_block.IsOpen())
        return VLString();
    const wchar_t* text = reinterpret_cast<const wchar_t*>(m_block.GetData() + offset);
    int length = 0;
    while (length < kTextUnits && text[length] != 0)  // never past the field
        ++length;
    return VLString(text, length);
}

void VLProcessRecord::WriteText(size_t offset, const wchar_t* text)
{
    if (!m_block.IsOpen())
        return;
    wchar_t* field = reinterpret_cast<wchar_t*>(m_block.GetData() + offset);
    int length = 0;
    if (text != nullptr)
        while (length < kTextUnits && text[length] != 0)
            ++length;
    std::memcpy(field, text, length * sizeof(wchar_t));
    // Zero the rest; a full 260-unit text ends at the zero gap after the field.
    std::memset(field + length, 0, (kTextUnits + 1 - length) * sizeof(wchar_t));
}

unsigned char VLProcessRecord::ReadByte(size_t offset) const
{
    return m_block.IsOpen() ? m_block.GetData()[offset] : 0;
}

void VLProcessRecord::WriteByte(size_t offset, unsigned char value)
{
    if (m_block.IsOpen())
        m_block.GetData()[offset] = value;
}

void VLProcessRecord::WriteUInt32(size_t offset, uint32_t value)
{
    if (m_block.IsOpen())
        std::memcpy(m_block.GetData() + offset, &value, sizeof value);
}

HWND VLProcessRecord::GetMainWindow() const
{
    if (!m_block.IsOpen())
        return nullptr;
    uint32_t value = 0;
    std::memcpy(&value, m_block.GetData() + kMainWindow, sizeof value);
    // Window handles are 32-bit values on every Windows, so 4 bytes suffice.
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

void VLProcessRecord::SetMainWindow(HWND window)
{
    WriteUInt32(kMainWindow, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)));
}

void VLProcessRecord::SetInstallPath(const wchar_t* path, bool withFolders, bool ownRecordOnly)
{
    if (ownRecordOnly && !m_createdHere)
        return;
    WriteText(kInstallPath, path);
    if (withFolders) {
        WriteText(kProgramFolder, path);
        WriteText(kModuleFolder, path);
    }
    if (g_pathsChanged != nullptr)
        g_pathsChanged();
    VLString line = VLString::Format(L"Velmora install path (process: %d): %s\r\n",
                                     static_cast<int>(::GetCurrentProcessId()), path != nullptr ? path : L"");
    ::OutputDebugStringW(line);
}

void VLProcessRecord::SetAppDataFolderFromInstallPath()
{
    if (IsPortable())
        SetAppDataFolder(GetInstallPath() + L"Application Data\\");
    else
        SetAppDataFolder(L"");
}

VLString VLProcessRecord::Lookup(const wchar_t* productName, bool withFolders, bool ownRecordOnly)
{
    VLString programFile = ProgramFileOfProcess();
    int slash = programFile.ReverseFind(L'\\');
    VLString folder = slash >= 0 ? programFile.Left(slash + 1) : VLString();
    bool portable = false;
    VLString result = FindInstallPath(folder, productName, portable);
    if (portable)
        SetPortable(true);
    SetInstallPath(result, withFolders, ownRecordOnly);
    return result;
}

VLString VLProcessRecord::FindInstallPath(const wchar_t* programFolder, const wchar_t* productName, bool& portable)
{
    portable = false;
    VLString folder = WithTrailingBackslash(programFolder != nullptr ? VLString(programFolder) : VLString());
    if (!folder.IsEmpty()) {
        DWORD attributes = ::GetFileAttributesW(folder + kPortableMarker);
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            portable = true;
            return folder;
        }
    }

    VLRegistryKey installations;
    if (installations.Open(HKEY_LOCAL_MACHINE, kInstallationsKey) != ERROR_SUCCESS)
        return VLString();
    const bool byName = productName != nullptr && productName[0] != 0;
    VLString subName;
    for (DWORD index = 0; installations.EnumKeyName(index, subName); ++index) {
        if (byName && subName != productName)
            continue;
        VLRegistryKey sub;
        if (sub.Open(installations, subName) != ERROR_SUCCESS)
            continue;
        VLString path = sub.ReadString(L"Path");
        if (byName)
            return path;
        // Without a name: the installation that holds this program.
        VLString base = WithTrailingBackslash(path);
        if (!base.IsEmpty() && folder.GetLength() >= base.GetLength() &&
            folder.Left(base.GetLength()).CompareNoCase(base) == 0)
            return path;
    }
    return VLString();
}
