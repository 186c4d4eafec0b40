#pragma once
// Conversions between VLString and std::wstring for code in this folder that
// edits paths with the standard library.

#include "VLString.h"

#include <string>

inline std::wstring VLToStd(const VLString& text)
{
    return std::wstring(text.GetString(), static_cast<size_t>(text.GetLength()));
}

inline VLString VLFromStd(const std::wstring& text)
{
    return VLString(text.c_str(), static_cast<int>(text.size()));
}
