#include "CVersionInfo.h"

#include <vector>

#include "VLHandle.h"
#include "VLPath.h"

namespace {

using GetSizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetInfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

struct VersionFunctions {
    VLUniqueModule module;
    GetSizeFn getSize = nullptr;
    GetInfoFn getInfo = nullptr;
    QueryFn query = nullptr;

    bool Load()
    {
        module.Reset(::LoadLibraryW(L"Version.dll"));
        if (!module)
            return false;
        getSize = reinterpret_cast<GetSizeFn>(::GetProcAddress(module.Get(), "GetFileVersionInfoSizeW"));
        getInfo = reinterpret_cast<GetInfoFn>(::GetProcAddress(module.Get(), "GetFileVersionInfoW"));
        query = reinterpret_cast<QueryFn>(::GetProcAddress(module.Get(), "VerQueryValueW"));
        return getSize && getInfo && query;
    }
};

}  // namespace

bool CVersionInfo::Load(const VLString& path)
{
    m_path = path;
    m_fixed = VS_FIXEDFILEINFO{};
    m_hasBlock = false;
    if (path.IsEmpty())
        return false;

    VersionFunctions fn;
    if (!fn.Load())
        return false;
    // Long paths reach Windows with the "\\?\" prefix.
    const VLString systemPath = VLPath::ApplyLongPathRule(path);
    DWORD handle = 0;
    DWORD size = fn.getSize(systemPath.GetString(), &handle);
    if (size == 0)
        return false;
    std::vector<BYTE> data(size);
    if (!fn.getInfo(systemPath.GetString(), 0, size, data.data()))
        return false;
    void* block = nullptr;
    UINT blockSize = 0;
    if (!fn.query(data.data(), L"\\", &block, &blockSize) || !block || blockSize < sizeof(VS_FIXEDFILEINFO))
        return false;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(block);
    if (fixed->dwSignature != VS_FFI_SIGNATURE)
        return false;
    m_fixed = *fixed;
    m_hasBlock = true;
    return true;
}

HRESULT CVersionInfo::GetVersionText(VLString& text, bool fourParts) const
{
    if (m_path.IsEmpty() || !m_hasBlock)
        return E_FAIL;
    unsigned major = HIWORD(m_fixed.dwFileVersionMS);
    unsigned minor = LOWORD(m_fixed.dwFileVersionMS);
    unsigned build = HIWORD(m_fixed.dwFileVersionLS);
    unsigned revision = LOWORD(m_fixed.dwFileVersionLS);
    if (fourParts)
        text = VLString::Format(L"%d.%d.%d.%d", major, minor, build, revision);
    else
        text = VLString::Format(L"%d.%d.%d", major, minor, build);
    return S_OK;
}

uint64_t CVersionInfo::GetFileVersion64() const noexcept
{
    if (!m_hasBlock)
        return 0;
    return (static_cast<uint64_t>(m_fixed.dwFileVersionMS) << 32) | m_fixed.dwFileVersionLS;
}

uint64_t CVersionInfo::FileVersion64(const VLString& path)
{
    CVersionInfo info;
    info.Load(path);
    return info.GetFileVersion64();
}

bool CVersionInfo::AreVersionFunctionsAvailable()
{
    VersionFunctions fn;
    return fn.Load();
}
