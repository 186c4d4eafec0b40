#include "FileVersions.h"

#include "EnginePaths.h"

#include <windows.h>

#include <vector>

namespace {

using GetSizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetInfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

struct VersionApi {
    GetSizeFn GetSize = nullptr;
    GetInfoFn GetInfo = nullptr;
    QueryFn Query = nullptr;
    bool Loaded() const { return GetSize && GetInfo && Query; }
};

// Loaded once and kept for the process: the module stays referenced so the
// function pointers remain valid.
const VersionApi& Api()
{
    static const VersionApi api = [] {
        VersionApi a;
        HMODULE module = ::LoadLibraryW(L"Version.dll");
        if (module) {
            a.GetSize = reinterpret_cast<GetSizeFn>(::GetProcAddress(module, "GetFileVersionInfoSizeW"));
            a.GetInfo = reinterpret_cast<GetInfoFn>(::GetProcAddress(module, "GetFileVersionInfoW"));
            a.Query = reinterpret_cast<QueryFn>(::GetProcAddress(module, "VerQueryValueW"));
        }
        return a;
    }();
    return api;
}

bool ReadFixedInfo(const VLString& path, VS_FIXEDFILEINFO& info)
{
    const VersionApi& api = Api();
    if (!api.Loaded())
        return false;
    VLString sysPath = EngineWin32Path(path);
    DWORD handle = 0;
    DWORD size = api.GetSize(sysPath, &handle);
    if (size == 0)
        return false;
    std::vector<BYTE> block(size);
    if (!api.GetInfo(sysPath, 0, size, block.data()))
        return false;
    void* fixed = nullptr;
    UINT length = 0;
    if (!api.Query(block.data(), L"\\", &fixed, &length) || !fixed || length < sizeof(VS_FIXEDFILEINFO))
        return false;
    info = *static_cast<VS_FIXEDFILEINFO*>(fixed);
    return true;
}

}  // namespace

bool VLReadFileVersion(const VLString& path, uint64_t& version)
{
    VS_FIXEDFILEINFO info{};
    if (!ReadFixedInfo(path, info))
        return false;
    version = (static_cast<uint64_t>(info.dwFileVersionMS) << 32) | info.dwFileVersionLS;
    return true;
}

VLString VLFileVersionText3(const VLString& path)
{
    VS_FIXEDFILEINFO info{};
    if (!ReadFixedInfo(path, info))
        return VLString();
    return VLString::Format(L"%d.%d.%d", HIWORD(info.dwFileVersionMS), LOWORD(info.dwFileVersionMS),
                            HIWORD(info.dwFileVersionLS));
}

bool CWindowsFileVersions::Available()
{
    return Api().Loaded();
}

uint64_t CWindowsFileVersions::Version(const VLString& path)
{
    uint64_t version = 0;
    VLReadFileVersion(path, version);
    return version;
}
