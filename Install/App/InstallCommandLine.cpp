#include "InstallCommandLine.h"

#include <cwchar>

void SplitCommandLine(const wchar_t* tail, VLStringArray& arguments)
{
    if (tail == nullptr)
        return;
    VLString current;
    bool inQuotes = false;
    for (int i = 0; tail[i] != 0; ++i) {
        const wchar_t ch = tail[i];
        if (ch != L'"') {
            if (ch == L' ' && !inQuotes) {
                if (!current.IsEmpty()) {
                    arguments.Add(current);
                    current.Empty();
                }
            } else {
                current += ch;
            }
            continue;
        }
        if (i > 0) {
            int backslashes = 0;
            for (int j = i - 1; j >= 0 && tail[j] == L'\\'; --j)
                ++backslashes;
            if (backslashes % 2 == 1) {
                current += ch;  // escaped quote; its backslashes stay too
                continue;
            }
        }
        if (inQuotes) {
            arguments.Add(current);  // even "" gives an argument
            current.Empty();
            inQuotes = false;
        } else {
            inQuotes = true;  // text just before the quote joins the quoted text
        }
    }
    if (!current.IsEmpty())
        arguments.Add(current);
}

VLString JoinCommandLine(const VLStringArray& arguments)
{
    VLString joined;
    for (int i = 0; i < arguments.GetCount(); ++i) {
        VLString argument = arguments[i];
        argument.Replace(L"\"", L"\\\"", true);
        const bool quote = argument.IsEmpty() || argument.Find(L' ') >= 0 || argument.Find(L'\'') >= 0;
        if (i > 0)
            joined += L' ';
        if (quote) {
            joined += L'"';
            joined += argument;
            joined += L'"';
        } else {
            joined += argument;
        }
    }
    return joined;
}

namespace {

bool StartsWithNoCase(const VLString& piece, const wchar_t* name)
{
    const int length = static_cast<int>(std::wcslen(name));
    return piece.GetLength() >= length && piece.Left(length).CompareNoCase(name) == 0;
}

}  // namespace

void ParseSwitches(const wchar_t* joined, InstallOptionsData& options)
{
    VLStringArray pieces;
    pieces.Split(joined != nullptr ? joined : L"", L"/", false);
    // The text before the first "/" is never a switch.
    for (int i = 1; i < pieces.GetCount(); ++i) {
        const VLString& piece = pieces[i];
        if (StartsWithNoCase(piece, L"DistributorID")) {
            VLString value = piece.Mid(13);
            value.Trim();
            options.DistributorID = value;
        } else if (StartsWithNoCase(piece, L"Silent")) {
            options.Silent = true;
        } else if (StartsWithNoCase(piece, L"Upgrade")) {
            options.Upgrade = true;
        } else if (StartsWithNoCase(piece, L"NoAssociations")) {
            options.NoAssociations = true;
        } else if (StartsWithNoCase(piece, L"NoDependencies")) {
            options.NoDependencies = true;
        } else if (StartsWithNoCase(piece, L"NoUpgrade")) {
            options.NoUpgrade = true;
        } else if (StartsWithNoCase(piece, L"NoDriver")) {
            options.NoDriver = true;
        } else if (StartsWithNoCase(piece, L"NoRun")) {
            options.NoRun = true;
        }
    }
}
