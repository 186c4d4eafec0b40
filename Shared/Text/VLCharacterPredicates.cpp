#include "VLCharacterPredicates.h"

#include "VLStringGlobals.h"

namespace
{
bool Is(wchar_t c, uint32_t bits) { return c && VLStringGlobals::Get().IsClass(c, bits); }
}  // namespace

int VLStringCharacterPredicate::Span(const wchar_t* text) const
{
    int n = 0;
    if (text)
        while (text[n] && Matches(text + n, n))
            ++n;
    return n;
}

bool VLStringLeadingWhitespaceCharacters::Matches(const wchar_t* p, int) const { return Is(*p, VLCC_SPACE); }

bool VLStringLeadingAlphaCharacters::Matches(const wchar_t* p, int) const { return Is(*p, VLCC_ALPHA); }

bool VLStringLeadingDigitCharacters::Matches(const wchar_t* p, int) const { return Is(*p, VLCC_DIGIT); }

bool VLStringLeadingWordCharacters::Matches(const wchar_t* p, int offset) const
{
    wchar_t c = *p;
    if (Is(c, VLCC_ALPHA))
        return true;
    if (c == L'\'' && offset > 0)
        return Is(p[1], VLCC_ALPHA);
    if (c == L'-' || c == 0x2012)
        return Is(p[1], VLCC_ALPHA);
    return false;
}
