#pragma once
// Character-class predicates used when scanning text in runs. Each tells
// whether the unit at `p` belongs to its class; `offset` is the position of
// `p` from the start of the current run.

class VLStringCharacterPredicate
{
public:
    virtual bool Matches(const wchar_t* p, int offset) const = 0;
    // Length of the run of matching units at the start of text.
    int Span(const wchar_t* text) const;

protected:
    ~VLStringCharacterPredicate() = default;
};

class VLStringLeadingWhitespaceCharacters : public VLStringCharacterPredicate
{
public:
    bool Matches(const wchar_t* p, int offset) const override;
};

class VLStringLeadingAlphaCharacters : public VLStringCharacterPredicate
{
public:
    bool Matches(const wchar_t* p, int offset) const override;
};

class VLStringLeadingDigitCharacters : public VLStringCharacterPredicate
{
public:
    bool Matches(const wchar_t* p, int offset) const override;
};

// Letters; an apostrophe followed by a letter (not at the run's start); a
// hyphen or figure dash (U+2012) followed by a letter.
class VLStringLeadingWordCharacters : public VLStringCharacterPredicate
{
public:
    bool Matches(const wchar_t* p, int offset) const override;
};
