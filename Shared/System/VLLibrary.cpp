#include "VLLibrary.h"

#include "VLPath.h"

bool VLLibrary::Load(const VLString& path)
{
    Free();
    if (path.IsEmpty())
        return false;
    m_module.Reset(::LoadLibraryExW(VLPath::ToSystemPath(path), nullptr, 0));
    return m_module.IsValid();
}

FARPROC VLLibrary::GetEntryPoint(const char* name) const
{
    if (!IsLoaded() || !name)
        return nullptr;
    return ::GetProcAddress(m_module.Get(), name);
}

FARPROC VLLibrary::GetEntryPoint(const VLString& name) const
{
    // Export names are 8-bit text.
    std::string narrow = name.ToUtf8();
    return GetEntryPoint(narrow.c_str());
}
