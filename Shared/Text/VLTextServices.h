#pragma once
// Text services: case-insensitive search and the comparison used for
// sorting. The product tools module supplies its own; until it does, the
// library's default is used.

class IVLTextServices
{
public:
    // Index of the first case-insensitive match of pattern in text, or -1.
    virtual int FindNoCase(const wchar_t* text, const wchar_t* pattern) = 0;
    // Less than, equal to or greater than 0. Mode 4 orders file lists:
    // without regard to case, runs of digits by their value.
    virtual int Compare(const wchar_t* a, const wchar_t* b, int mode) = 0;

protected:
    ~IVLTextServices() = default;
};

// Comparison modes understood by the default services.
enum VLCompareMode : int
{
    VLCompareOrdinal = 0,    // code unit order
    VLCompareNoCase = 1,     // folded through the lower-case table
    VLCompareLogical = 4,    // no case, digit runs by value
};

// The services in use (never null).
IVLTextServices* VLGetTextServices();
// Installs services; nullptr restores the default. The object must outlive
// its use. Returns the previous services.
IVLTextServices* VLSetTextServices(IVLTextServices* services);
// The library's own implementation.
IVLTextServices* VLDefaultTextServices();
