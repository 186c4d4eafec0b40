#include "VLXmlDocument.h"

#include "VLFileLoaderText.h"

#include <windows.h>
#include <emmintrin.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

inline bool IsSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r';
}

// Ends a tag name for GetTagName and path matching.
inline bool IsNameStop(wchar_t c)
{
    switch (c) {
    case L' ': case L'\t': case L'\n': case L'\r': case L'<': case L'>':
    case L'=': case L'\\': case L'/': case L'?': case L'!':
        return true;
    default:
        return false;
    }
}

inline bool IsStartTagChar(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L':' || c == L'_' || c >= 0x7B;
}

inline wchar_t FoldCase(wchar_t c)
{
    if (c < 0x80)
        return (c >= L'A' && c <= L'Z') ? wchar_t(c + 32) : c;
    return wchar_t(reinterpret_cast<ULONG_PTR>(::CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

constexpr uint32_t kNameBuckets = 1024;

// Length, first and last unit: cheap, and equal names always share a bucket.
inline uint32_t NameBucket(const wchar_t* name, size_t length, bool ignoreCase)
{
    if (length == 0)
        return 0;
    uint32_t first = ignoreCase ? FoldCase(name[0]) : name[0];
    uint32_t last = ignoreCase ? FoldCase(name[length - 1]) : name[length - 1];
    return (uint32_t(length) * 61u + first * 31u + last) & (kNameBuckets - 1);
}

inline bool NamesEqual(const wchar_t* a, const wchar_t* b, size_t length, bool ignoreCase)
{
    size_t i = 0;
    while (i < length && a[i] == b[i])
        ++i;
    if (i == length)
        return true;
    if (!ignoreCase)
        return false;
    for (; i < length; ++i) {
        if (a[i] != b[i] && FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

// First index >= pos of c in p[0, n), or n. Never reads at or past n.
inline size_t FindUnit(const wchar_t* p, size_t pos, size_t n, wchar_t c)
{
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(c));
    while (pos + 8 <= n) {
        __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + pos));
        int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(units, wanted));
        if (mask)
            return pos + (static_cast<unsigned>(__builtin_ctz(mask)) >> 1);
        pos += 8;
    }
    while (pos < n && p[pos] != c)
        ++pos;
    return pos;
}

// First index >= pos of ">", a double or a single quote, or n.
inline size_t FindTagStop(const wchar_t* p, size_t pos, size_t n)
{
    const __m128i gt = _mm_set1_epi16(L'>');
    const __m128i dq = _mm_set1_epi16(L'"');
    const __m128i sq = _mm_set1_epi16(L'\'');
    while (pos + 8 <= n) {
        __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + pos));
        __m128i hit = _mm_or_si128(_mm_cmpeq_epi16(units, gt),
                                   _mm_or_si128(_mm_cmpeq_epi16(units, dq), _mm_cmpeq_epi16(units, sq)));
        int mask = _mm_movemask_epi8(hit);
        if (mask)
            return pos + (static_cast<unsigned>(__builtin_ctz(mask)) >> 1);
        pos += 8;
    }
    while (pos < n && p[pos] != L'>' && p[pos] != L'"' && p[pos] != L'\'')
        ++pos;
    return pos;
}

// Index of the first occurrence of the 2- or 3-unit sequence at or after pos,
// or n when there is none.
size_t FindSequence(const wchar_t* p, size_t pos, size_t n, const wchar_t* seq, size_t seqLength)
{
    for (;;) {
        pos = FindUnit(p, pos, n, seq[0]);
        if (pos + seqLength > n)
            return n;
        if (std::wmemcmp(p + pos, seq, seqLength) == 0)
            return pos;
        ++pos;
    }
}

size_t NameEnd(const wchar_t* p, size_t pos, size_t n)
{
    while (pos < n && !IsSpace(p[pos]) && p[pos] != L'/' && p[pos] != L'>')
        ++pos;
    return pos;
}

void AppendNumber(std::wstring& out, size_t value)
{
    wchar_t digits[24];
    int i = 0;
    do {
        digits[i++] = wchar_t(L'0' + value % 10);
        value /= 10;
    } while (value);
    while (i)
        out += digits[--i];
}

VLString ToVLString(const std::wstring& s)
{
    return VLString(s.data(), static_cast<int>(s.size()));
}

}  // namespace

// One step of a path: a name or "*", with an optional condition.
struct VLXmlDocument::Step {
    const wchar_t* name = nullptr;
    size_t nameLength = 0;
    bool any = true;
    enum { None, Index, Attribute, Child } condition = None;
    size_t index = 0;
    const wchar_t* conditionName = nullptr;
    size_t conditionLength = 0;
};

namespace {

bool IsStepEnd(wchar_t c)
{
    return c == 0 || c == L' ' || c == L'=' || c == L'/' || c == L'[' || c == L']';
}

}  // namespace

VLXmlDocument::VLXmlDocument()
{
    SetText();
    Parse();
}

VLXmlDocument::VLXmlDocument(const VLString& text) : m_text(text)
{
    SetText();
    Parse();
}

void VLXmlDocument::SetText()
{
    m_p = m_text.GetString();
    m_n = static_cast<size_t>(m_text.GetLength());
}

VLXmlDocument::~VLXmlDocument()
{
    for (Record* chunk : m_chunks)
        std::free(chunk);
}

bool VLXmlDocument::Load(const wchar_t* path)
{
    VLString text;
    if (!VLLoadTextFile(path, text))
        return false;
    return SetDoc(text);
}

bool VLXmlDocument::SetDoc(const VLString& text)
{
    m_text = text;
    SetText();
    m_flags &= ~FlagModified;
    Parse();
    return IsWellFormed();
}

bool VLXmlDocument::SetDocView(const wchar_t* text, size_t length)
{
    if (length >= 0x7FFFFFFF)
        length = 0;  // offsets are 32-bit
    m_text.Empty();
    m_p = text ? text : L"";
    m_n = text ? length : 0;
    m_flags &= ~FlagModified;
    Parse();
    return IsWellFormed();
}

const VLString& VLXmlDocument::GetDoc() const
{
    if (m_p != m_text.GetString()) {
        // A view: the text becomes the document's own from here on.
        m_text = VLString(m_p, static_cast<int>(m_n));
        m_p = m_text.GetString();
    }
    return m_text;
}

bool VLXmlDocument::IsWellFormed() const
{
    const Record& doc = Rec(0);
    if (doc.flags & RecNotWellFormed)
        return false;
    return doc.firstChild != 0 && Rec(doc.firstChild).next == 0;
}

size_t VLXmlDocument::GetElementCount() const
{
    return m_inUse ? m_inUse - 1 : 0;
}

size_t VLXmlDocument::GetIndexBytes() const
{
    size_t records = m_chunks.empty() ? 0 : (m_chunks.size() - 1) * size_t(kChunkSize) + m_lastChunkSize;
    return records * sizeof(Record) + m_chunks.capacity() * sizeof(Record*);
}

// ---------------------------------------------------------------------------
// Element index

void VLXmlDocument::ClearIndex()
{
    for (Record* chunk : m_chunks)
        std::free(chunk);
    m_chunks.clear();
    m_lastChunkSize = 0;
    m_used = 0;
    m_capacity = 0;
    m_free = 0;
    m_inUse = 0;
}

// Makes room for count records. Full chunks never move; only the last,
// partly used chunk is reallocated, so growth costs at most one chunk copy.
void VLXmlDocument::ReserveRecords(size_t count)
{
    if (count > 0xFFFFFFFFu)
        count = 0xFFFFFFFFu;
    while (m_capacity < count) {
        if (!m_chunks.empty() && m_lastChunkSize < kChunkSize) {
            size_t lastStart = (m_chunks.size() - 1) * size_t(kChunkSize);
            size_t size = count - lastStart;
            if (size > kChunkSize)
                size = kChunkSize;
            Record* grown = static_cast<Record*>(std::realloc(m_chunks.back(), size * sizeof(Record)));
            if (!grown)
                return;
            m_chunks.back() = grown;
            m_capacity += static_cast<uint32_t>(size - m_lastChunkSize);
            m_lastChunkSize = static_cast<uint32_t>(size);
            continue;
        }
        size_t size = count - m_capacity;
        if (size > kChunkSize)
            size = kChunkSize;
        Record* chunk = static_cast<Record*>(std::malloc(size * sizeof(Record)));
        if (!chunk)
            return;
        m_chunks.push_back(chunk);
        m_capacity += static_cast<uint32_t>(size);
        m_lastChunkSize = static_cast<uint32_t>(size);
    }
}

// A zeroed record from the free list or the next fresh slot; 0 when memory
// runs out (record 0 is the document and is never handed out again).
uint32_t VLXmlDocument::NewRecord()
{
    uint32_t index;
    if (m_free) {
        index = m_free;
        m_free = Rec(index).next;
    } else {
        if (m_used >= m_capacity) {
            size_t want = size_t(m_inUse) + m_inUse / 2;
            if (want <= m_capacity)
                want = size_t(m_capacity) + 1;
            ReserveRecords(want);
            if (m_used >= m_capacity)
                return 0;
        }
        index = m_used++;
    }
    Rec(index) = Record{};
    ++m_inUse;
    return index;
}

void VLXmlDocument::FreeSubtree(uint32_t root)
{
    // Collect first: freeing reuses the next link.
    std::vector<uint32_t> records;
    records.push_back(root);
    for (size_t i = 0; i < records.size(); ++i) {
        for (uint32_t c = Rec(records[i]).firstChild; c; c = Rec(c).next)
            records.push_back(c);
    }
    for (uint32_t r : records) {
        Record& rec = Rec(r);
        rec.flags = RecFree;
        rec.next = m_free;
        m_free = r;
        --m_inUse;
    }
}

void VLXmlDocument::LinkLast(uint32_t parent, uint32_t child)
{
    Record& p = Rec(parent);
    Record& c = Rec(child);
    c.parent = parent;
    c.next = 0;
    if (!p.firstChild) {
        p.firstChild = child;
        c.prev = child;
        c.flags |= RecFirstChild;
        return;
    }
    Record& first = Rec(p.firstChild);
    uint32_t last = first.prev;
    Rec(last).next = child;
    c.prev = last;
    first.prev = child;
}

void VLXmlDocument::LinkAfter(uint32_t after, uint32_t child)
{
    Record& a = Rec(after);
    Record& c = Rec(child);
    c.parent = a.parent;
    c.prev = after;
    c.next = a.next;
    if (a.next)
        Rec(a.next).prev = child;
    else
        Rec(Rec(a.parent).firstChild).prev = child;
    a.next = child;
}

void VLXmlDocument::Unlink(uint32_t rec)
{
    Record& r = Rec(rec);
    Record& p = Rec(r.parent);
    if (p.firstChild == rec) {
        p.firstChild = r.next;
        if (r.next) {
            Record& n = Rec(r.next);
            n.prev = r.prev;  // the last child
            n.flags |= RecFirstChild;
        }
    } else {
        Rec(r.prev).next = r.next;
        if (r.next)
            Rec(r.next).prev = r.prev;
        else
            Rec(p.firstChild).prev = r.prev;
    }
    r.next = r.prev = 0;
    r.flags &= ~RecFirstChild;
}

// An element without an end tag keeps only its start tag; its children
// become its following siblings, in order.
void VLXmlDocument::CutNotEnded(uint32_t rec)
{
    Record& r = Rec(rec);
    r.length = r.startLength;
    r.endLength = 0;
    r.flags |= RecNotEnded;
    uint32_t first = r.firstChild;
    if (!first)
        return;
    r.firstChild = 0;
    uint32_t last = Rec(first).prev;
    for (uint32_t c = first; c; c = Rec(c).next)
        Rec(c).parent = r.parent;
    Record& f = Rec(first);
    f.flags &= ~RecFirstChild;
    f.prev = rec;
    uint32_t after = r.next;
    r.next = first;
    Rec(last).next = after;
    if (after)
        Rec(after).prev = last;
    else
        Rec(Rec(r.parent).firstChild).prev = last;
}

// ---------------------------------------------------------------------------
// Tokenizer

// Start tag at pos ("<" and a name character). Inlined into the parse loop:
// start and end tags are most of the markup.
__attribute__((always_inline)) inline bool VLXmlDocument::ScanStartTag(const wchar_t* p, size_t n, size_t pos,
                                                                      Token& t)
{
    size_t q = NameEnd(p, pos + 1, n);
    t.nameStart = pos + 1;
    t.nameLength = q - (pos + 1);
    for (;;) {
        q = FindTagStop(p, q, n);
        if (q >= n)
            break;
        if (p[q] == L'>') {
            t.type = NodeElement;
            t.empty = p[q - 1] == L'/';
            t.end = q + 1;
            return true;
        }
        size_t close = FindUnit(p, q + 1, n, p[q]);
        if (close >= n)
            break;
        q = close + 1;
    }
    t.type = NodeFaulty;
    t.end = n;
    t.message = L"%s at offset %d unterminated";
    t.kind = L"Element tag";
    return false;
}

// End tag at pos ("</").
__attribute__((always_inline)) inline bool VLXmlDocument::ScanEndTag(const wchar_t* p, size_t n, size_t pos,
                                                                    Token& t)
{
    size_t q = NameEnd(p, pos + 2, n);
    t.nameStart = pos + 2;
    t.nameLength = q - (pos + 2);
    q = FindUnit(p, q, n, L'>');
    if (q >= n) {
        t.type = NodeFaulty;
        t.end = n;
        t.message = L"%s at offset %d unterminated";
        t.kind = L"Element end tag";
        return false;
    }
    t.type = NodeEndTag;
    t.end = q + 1;
    return true;
}

// Reads the markup token whose "<" is at pos. Returns false when the token
// is faulty (type NodeFaulty); t.message then says why, when there is a
// message. t.end is where the next token starts.
bool VLXmlDocument::NextMarkupToken(const wchar_t* p, size_t n, size_t pos, Token& t, bool inDocType)
{
    t.start = pos;
    t.nameStart = t.nameLength = 0;
    t.empty = false;
    t.message = nullptr;
    t.kind = nullptr;
    auto unterminated = [&](const wchar_t* kind) {
        t.type = NodeFaulty;
        t.end = n;
        t.message = L"%s at offset %d unterminated";
        t.kind = kind;
        return false;
    };
    auto incorrect = [&](const wchar_t* kind) {
        t.type = NodeFaulty;
        size_t gt = FindUnit(p, pos + 1, n, L'>');
        t.end = gt < n ? gt + 1 : n;
        t.message = kind ? L"Incorrect %s at offset %d" : nullptr;
        t.kind = kind;
        return false;
    };

    if (pos + 1 >= n)
        return unterminated(L"tag");
    wchar_t c = p[pos + 1];
    if (IsStartTagChar(c))
        return ScanStartTag(p, n, pos, t);
    switch (c) {
    case L'/':
        return ScanEndTag(p, n, pos, t);
    case L'?': {
        size_t q = FindSequence(p, pos + 2, n, L"?>", 2);
        if (q >= n)
            return unterminated(L"Processing instruction");
        t.type = NodeProcessingInstruction;
        t.end = q + 2;
        return true;
    }
    case L'!':
        break;
    default:
        return incorrect(L"tag name character");
    }

    if (pos + 2 >= n)
        return unterminated(L"tag");
    wchar_t c2 = p[pos + 2];
    if (c2 == L'-') {
        if (pos + 3 >= n)
            return unterminated(L"Comment");
        if (p[pos + 3] != L'-')
            return incorrect(L"comment tag");
        size_t q = FindSequence(p, pos + 4, n, L"-->", 3);
        if (q >= n)
            return unterminated(L"Comment");
        t.type = NodeComment;
        t.end = q + 3;
        return true;
    }
    if (inDocType) {
        // Markup declarations inside a document type declaration.
        if (c2 == L'E' || c2 == L'A' || c2 == L'N') {
            size_t q = FindUnit(p, pos + 3, n, L'>');
            if (q >= n)
                return unterminated(L"tag");
            t.type = NodeDocType;
            t.end = q + 1;
            return true;
        }
        return incorrect(L"! tag");
    }
    if (c2 == L'[') {
        if (pos + 3 >= n)
            return unterminated(L"CDATA Section");
        if (p[pos + 3] != L'C')
            return incorrect(L"tag");
        size_t q = FindSequence(p, pos + 3, n, L"]]>", 3);
        if (q >= n)
            return unterminated(L"CDATA Section");
        t.type = NodeCData;
        t.end = q + 3;
        return true;
    }
    if (c2 == L'D') {
        const wchar_t* nestedMessage = nullptr;
        const wchar_t* nestedKind = nullptr;
        size_t nestedStart = 0;
        size_t q = pos + 3;
        for (;;) {
            size_t lt = FindUnit(p, q, n, L'<');
            size_t gt = FindUnit(p, q, lt, L'>');
            if (gt < lt) {
                q = gt;
                break;
            }
            if (lt >= n)
                return unterminated(L"Doctype");
            Token nested;
            NextMarkupToken(p, n, lt, nested, true);
            if (nested.type == NodeFaulty && nested.end >= n && nested.message && nested.message[0] == L'%')
                return unterminated(L"Doctype");
            if (nested.type == NodeFaulty && nested.message && !nestedMessage) {
                nestedMessage = nested.message;
                nestedKind = nested.kind;
                nestedStart = lt;
            }
            q = nested.end;
        }
        t.end = q + 1;
        if (nestedMessage) {
            t.type = NodeFaulty;
            t.message = nestedMessage;
            t.kind = nestedKind;
            t.start = nestedStart;  // the message names the nested token
            return false;
        }
        t.type = NodeDocType;
        return true;
    }
    if (c2 == L'E' || c2 == L'A' || c2 == L'N')
        return incorrect(nullptr);
    return incorrect(L"! tag");
}

// Any token at pos (text or markup).
void VLXmlDocument::NextToken(const wchar_t* p, size_t n, size_t pos, Token& t)
{
    if (p[pos] == L'<') {
        NextMarkupToken(p, n, pos, t, false);
        return;
    }
    t.start = pos;
    t.end = FindUnit(p, pos, n, L'<');
    t.nameStart = t.nameLength = 0;
    t.empty = false;
    t.message = t.kind = nullptr;
    t.type = NodeWhitespace;
    for (size_t i = pos; i < t.end; ++i) {
        if (!IsSpace(p[i])) {
            t.type = NodeText;
            break;
        }
    }
}

// ---------------------------------------------------------------------------
// Parser

void VLXmlDocument::Parse()
{
    const wchar_t* p = m_p;
    const size_t n = m_n;
    const bool ignoreCase = (m_flags & FlagIgnoreCase) != 0;

    m_error.Empty();
    ClearIndex();
    ReserveRecords(n / 64 + 8);
    NewRecord();  // record 0: the document
    m_parent = m_current = m_child = 0;
    m_nodeType = 0;
    m_nodeOffset = m_nodeLength = 0;
    if (m_capacity == 0)
        return;  // out of memory: not even the document record
    Rec(0).length = static_cast<uint32_t>(n);

    std::vector<OpenElem> stack;
    stack.reserve(6);
    // Open elements chained by name hash, so an end tag finds its start tag
    // (or learns there is none) without walking the whole stack: lone end
    // tags under deep nesting would otherwise cost depth x count.
    std::vector<uint32_t> bucketTop(kNameBuckets, 0);  // stack index + 1
    std::wstring message;
    auto errorOnce = [&](const std::wstring& text) {
        if (m_error.IsEmpty())
            m_error = ToVLString(text);
    };
    auto markFault = [&]() {
        MarkNotWellFormed();
        if (!stack.empty())
            Rec(stack.back().record).flags |= RecError;
    };

    size_t pos = 0;
    Token t;
    while (pos < n) {
        if (p[pos] != L'<') {
            pos = FindUnit(p, pos, n, L'<');
            continue;
        }
        t.start = pos;
        t.empty = false;
        t.message = t.kind = nullptr;
        wchar_t next = pos + 1 < n ? p[pos + 1] : 0;
        if (IsStartTagChar(next))
            ScanStartTag(p, n, pos, t);
        else if (next == L'/')
            ScanEndTag(p, n, pos, t);
        else
            NextMarkupToken(p, n, pos, t, false);
        switch (t.type) {
        case NodeElement: {
            uint32_t r = NewRecord();
            if (!r) {
                markFault();
                errorOnce(L"Out of memory");
                break;
            }
            LinkLast(stack.empty() ? 0 : stack.back().record, r);
            Record& rec = Rec(r);
            rec.start = static_cast<uint32_t>(pos);
            rec.startLength = static_cast<uint32_t>(t.end - pos);
            StoreNameLength(r);
            if (t.empty)
                rec.length = rec.startLength;
            else
            {
                uint32_t bucket = NameBucket(p + t.nameStart, t.nameLength, ignoreCase);
                stack.push_back({r, static_cast<uint32_t>(t.nameStart), static_cast<uint32_t>(t.nameLength), bucket,
                                 bucketTop[bucket]});
                bucketTop[bucket] = static_cast<uint32_t>(stack.size());
            }
            break;
        }
        case NodeEndTag: {
            size_t k = stack.size();
            if (k && stack[k - 1].nameLength == t.nameLength &&
                NamesEqual(p + stack[k - 1].nameStart, p + t.nameStart, t.nameLength, ignoreCase)) {
                // the usual case: the innermost element ends
            } else {
                k = bucketTop[NameBucket(p + t.nameStart, t.nameLength, ignoreCase)];
            }
            while (k > 0) {
                const OpenElem& open = stack[k - 1];
                if (open.nameLength == t.nameLength &&
                    NamesEqual(p + open.nameStart, p + t.nameStart, t.nameLength, ignoreCase))
                    break;
                k = open.prevSame;
            }
            if (k == 0) {
                markFault();
                if (m_error.IsEmpty()) {
                    message.assign(L"No start tag for end tag '");
                    message.append(p + t.nameStart, t.nameLength);
                    message.append(L"' at offset ");
                    AppendNumber(message, pos);
                    errorOnce(message);
                }
                break;
            }
            Record& matched = Rec(stack[k - 1].record);
            matched.length = static_cast<uint32_t>(t.end - matched.start);
            matched.endLength = static_cast<uint32_t>(t.end - pos);
            if (k < stack.size()) {
                MarkNotWellFormed();
                if (m_error.IsEmpty()) {
                    const OpenElem& top = stack.back();
                    message.assign(L"End tag '");
                    message.append(p + t.nameStart, t.nameLength);
                    message.append(L"' at offset ");
                    AppendNumber(message, pos + 1);
                    message.append(L" does not match start tag '");
                    message.append(p + top.nameStart, top.nameLength);
                    message.append(L"' at offset ");
                    AppendNumber(message, Rec(top.record).start);
                    errorOnce(message);
                }
                // Outermost first, so each child moves up only once.
                for (size_t j = k; j < stack.size(); ++j)
                    CutNotEnded(stack[j].record);
            }
            for (size_t j = stack.size(); j >= k; --j)
                bucketTop[stack[j - 1].bucket] = stack[j - 1].prevSame;
            stack.resize(k - 1);
            break;
        }
        case NodeFaulty:
            markFault();
            if (t.message && m_error.IsEmpty()) {
                std::wstring kind = t.kind ? t.kind : L"";
                message.clear();
                if (t.message[0] == L'%') {
                    message = kind;
                    message.append(L" at offset ");
                    AppendNumber(message, t.start);
                    message.append(L" unterminated");
                } else {
                    message = L"Incorrect ";
                    message.append(kind);
                    message.append(L" at offset ");
                    AppendNumber(message, t.start);
                }
                errorOnce(message);
            }
            break;
        default:
            break;
        }
        pos = t.end;
    }

    if (!stack.empty()) {
        MarkNotWellFormed();
        if (m_error.IsEmpty()) {
            const OpenElem& top = stack.back();
            message.assign(L"Element '");
            message.append(p + top.nameStart, top.nameLength);
            message.append(L"' at offset ");
            AppendNumber(message, Rec(top.record).start);
            message.append(L" not ended");
            errorOnce(message);
        }
        for (const OpenElem& open : stack)
            CutNotEnded(open.record);
    }

    const Record& doc = Rec(0);
    if (n == 0)
        m_error = VLString(L"Empty document");
    else if (!doc.firstChild)
        m_error = VLString(L"No root element");
    else if (Rec(doc.firstChild).next)
        m_error = VLString(L"Root element has sibling");
}

// ---------------------------------------------------------------------------
// Names and attributes

void VLXmlDocument::StoreNameLength(uint32_t rec)
{
    Record& r = Rec(rec);
    const wchar_t* p = m_p;
    size_t end = r.start + r.startLength;
    size_t q = r.start + 1;
    while (q < end && !IsNameStop(p[q]))
        ++q;
    size_t length = q - (r.start + 1);
    r.flags = (r.flags & 0xFFFF) | (uint32_t(length < kNameUnknown ? length : kNameUnknown) << 16);
}

size_t VLXmlDocument::NameLength(uint32_t rec) const
{
    const Record& r = Rec(rec);
    if ((r.flags >> 16) != kNameUnknown)
        return r.flags >> 16;
    const wchar_t* p = m_p;
    size_t end = r.start + r.startLength;
    size_t q = r.start + 1;
    while (q < end && !IsNameStop(p[q]))
        ++q;
    return q - (r.start + 1);
}

bool VLXmlDocument::NameEquals(uint32_t rec, const wchar_t* name, size_t length) const
{
    if (NameLength(rec) != length)
        return false;
    return NamesEqual(m_p + Rec(rec).start + 1, name, length, (m_flags & FlagIgnoreCase) != 0);
}

// Finds the attribute in the start tag of rec. quote is the quote character
// of the value, 0 for an unquoted value and -1 for a name without "=".
bool VLXmlDocument::FindAttribute(uint32_t rec, const wchar_t* name, size_t nameLength, size_t& valueStart,
                                  size_t& valueLength, size_t& itemEnd, int& quote) const
{
    const Record& r = Rec(rec);
    const wchar_t* p = m_p;
    const size_t end = r.start + r.startLength - 1;  // the ">"
    const bool ignoreCase = (m_flags & FlagIgnoreCase) != 0;
    size_t q = NameEnd(p, r.start + 1, end);
    while (q < end) {
        wchar_t c = p[q];
        if (IsSpace(c)) {
            ++q;
            continue;
        }
        if (c == L'"' || c == L'\'') {
            size_t close = FindUnit(p, q + 1, end, c);
            q = close < end ? close + 1 : end;
            continue;
        }
        size_t ns = q;
        while (q < end) {
            wchar_t d = p[q];
            if (d == L'=' || IsSpace(d) || d == L'>' || d == L'/' || d == L'?')
                break;
            ++q;
        }
        if (q == ns) {
            ++q;  // a lone "=", "/" or "?"
            continue;
        }
        size_t nl = q - ns;
        size_t s = q;
        while (s < end && IsSpace(p[s]))
            ++s;
        size_t vs, vl;
        int vq;
        if (s < end && p[s] == L'=') {
            ++s;
            while (s < end && IsSpace(p[s]))
                ++s;
            if (s < end && (p[s] == L'"' || p[s] == L'\'')) {
                vq = p[s];
                vs = s + 1;
                size_t close = FindUnit(p, vs, end, p[s]);
                vl = close - vs;
                q = close < end ? close + 1 : end;
            } else {
                vq = 0;
                vs = s;
                // A "/" just before the closing ">" ends the tag, not the value.
                while (s < end && !IsSpace(p[s]) && !(p[s] == L'/' && s + 1 == end))
                    ++s;
                vl = s - vs;
                q = s;
            }
        } else {
            vq = -1;
            vs = q;
            vl = 0;
        }
        if (nl == nameLength && NamesEqual(p + ns, name, nl, ignoreCase)) {
            valueStart = vs;
            valueLength = vl;
            itemEnd = q;
            quote = vq;
            return true;
        }
    }
    return false;
}

bool VLXmlDocument::HasChildNamed(uint32_t rec, const wchar_t* name, size_t length) const
{
    for (uint32_t c = Rec(rec).firstChild; c; c = Rec(c).next) {
        if (NameEquals(c, name, length))
            return true;
    }
    return false;
}

VLString VLXmlDocument::GetTagName() const
{
    if (!m_current)
        return VLString();
    return VLString(m_p + Rec(m_current).start + 1, static_cast<int>(NameLength(m_current)));
}

VLString VLXmlDocument::GetAttrib(const wchar_t* name) const
{
    if (!m_current || !name)
        return VLString();
    size_t vs, vl, end;
    int quote;
    if (!FindAttribute(m_current, name, std::wcslen(name), vs, vl, end, quote))
        return VLString();
    return DecodeText(m_p + vs, vl);
}

int VLXmlDocument::GetLevel() const
{
    int level = 0;
    for (uint32_t r = m_current; r; r = Rec(r).parent)
        ++level;
    return level;
}

// ---------------------------------------------------------------------------
// Paths

bool VLXmlDocument::MatchStep(uint32_t rec, const Step& step) const
{
    if (!step.any && !NameEquals(rec, step.name, step.nameLength))
        return false;
    if (step.condition == Step::Attribute) {
        size_t vs, vl, end;
        int quote;
        return FindAttribute(rec, step.conditionName, step.conditionLength, vs, vl, end, quote);
    }
    if (step.condition == Step::Child)
        return HasChildNamed(rec, step.conditionName, step.conditionLength);
    return true;
}

uint32_t VLXmlDocument::SearchLevel(uint32_t parent, uint32_t after, const Step& step) const
{
    size_t count = 0;
    for (uint32_t r = after ? Rec(after).next : Rec(parent).firstChild; r; r = Rec(r).next) {
        if (!MatchStep(r, step))
            continue;
        if (step.condition != Step::Index || ++count == step.index)
            return r;
    }
    return 0;
}

// Searches in document order: from the root when from is 0, otherwise the
// descendants of from and then everything after it.
uint32_t VLXmlDocument::SearchDocumentOrder(uint32_t from, const Step& step) const
{
    auto nextInOrder = [this](uint32_t r) -> uint32_t {
        if (Rec(r).firstChild)
            return Rec(r).firstChild;
        while (r) {
            if (Rec(r).next)
                return Rec(r).next;
            r = Rec(r).parent;
        }
        return 0;
    };
    size_t count = 0;
    for (uint32_t r = from ? nextInOrder(from) : Rec(0).firstChild; r; r = nextInOrder(r)) {
        if (!MatchStep(r, step))
            continue;
        if (step.condition != Step::Index || ++count == step.index)
            return r;
    }
    return 0;
}

bool VLXmlDocument::FindPath(uint32_t parent, uint32_t after, const wchar_t* path, uint32_t& found) const
{
    Step step;
    if (!path || !*path) {
        found = SearchLevel(parent, after, step);
        return found != 0;
    }
    uint32_t cur;
    const wchar_t* s = path;
    if (*s == L'/') {
        ++s;
        s = ParseStep(s, step);
        if (!s)
            return false;
        uint32_t root = Rec(0).firstChild;
        if (!root || !MatchStep(root, step))
            return false;
        cur = root;
    } else {
        s = ParseStep(s, step);
        if (!s)
            return false;
        cur = SearchLevel(parent, after, step);
        if (!cur)
            return false;
    }
    while (*s == L'/') {
        ++s;
        if (!*s)
            break;  // a trailing "/" names the element before it
        step = Step();
        s = ParseStep(s, step);
        if (!s)
            return false;
        cur = SearchLevel(cur, 0, step);
        if (!cur)
            return false;
    }
    if (*s)
        return false;
    found = cur;
    return true;
}

// Parses one step at path; returns the position after it (at "/" or the end),
// or null when the step is malformed.
const wchar_t* VLXmlDocument::ParseStep(const wchar_t* path, Step& step)
{
    const wchar_t* s = path;
    while (!IsStepEnd(*s))
        ++s;
    step.name = path;
    step.nameLength = static_cast<size_t>(s - path);
    step.any = step.nameLength == 0 || (step.nameLength == 1 && path[0] == L'*');
    if (*s == L'[') {
        const wchar_t* c = ++s;
        while (*s && *s != L']')
            ++s;
        if (*s != L']')
            return nullptr;
        size_t length = static_cast<size_t>(s - c);
        ++s;
        if (length && *c >= L'1' && *c <= L'9') {
            step.condition = Step::Index;
            size_t value = 0;
            for (const wchar_t* d = c; d < c + length && *d >= L'0' && *d <= L'9'; ++d)
                value = value < 100000000 ? value * 10 + size_t(*d - L'0') : value;
            step.index = value;
        } else if (length > 1 && *c == L'@') {
            step.condition = Step::Attribute;
            step.conditionName = c + 1;
            step.conditionLength = length - 1;
        } else if (length) {
            step.condition = Step::Child;
            step.conditionName = c;
            step.conditionLength = length;
        }
    }
    // Anything else before the next "/" is not part of a step we know.
    if (*s && *s != L'/')
        return nullptr;
    return s;
}

void VLXmlDocument::ResetPos()
{
    m_parent = m_current = m_child = 0;
    m_nodeType = 0;
    m_nodeOffset = m_nodeLength = 0;
}

bool VLXmlDocument::FindElem(const wchar_t* path)
{
    uint32_t found = 0;
    if (path && path[0] == L'/' && path[1] == L'/') {
        Step step;
        const wchar_t* end = ParseStep(path + 2, step);
        if (!end || *end)
            return false;
        found = SearchDocumentOrder(m_current, step);
        if (!found)
            return false;
    } else if (!FindPath(m_parent, m_current, path, found)) {
        return false;
    }
    m_current = found;
    m_parent = Rec(found).parent;
    m_child = 0;
    m_nodeType = 0;
    m_nodeOffset = m_nodeLength = 0;
    return true;
}

bool VLXmlDocument::FindChildElem(const wchar_t* path, bool reset)
{
    if (reset)
        m_child = 0;
    if (!m_current && !FindElem())
        return false;
    uint32_t found = 0;
    if (path && path[0] == L'/')
        return false;  // child searches are relative
    if (!FindPath(m_current, m_child, path, found))
        return false;
    uint32_t parent = Rec(found).parent;
    if (parent != m_current) {
        // A path of several steps: the position follows it down.
        m_current = parent;
        m_parent = Rec(parent).parent;
    }
    m_child = found;
    m_nodeType = 0;
    m_nodeOffset = m_nodeLength = 0;
    return true;
}

bool VLXmlDocument::IntoElem()
{
    if (!m_current)
        return false;
    m_parent = m_current;
    m_current = m_child;
    m_child = 0;
    m_nodeType = 0;
    m_nodeOffset = m_nodeLength = 0;
    return true;
}

bool VLXmlDocument::OutOfElem()
{
    if (!m_parent)
        return false;
    m_child = m_current;
    m_current = m_parent;
    m_parent = Rec(m_parent).parent;
    m_nodeType = 0;
    m_nodeOffset = m_nodeLength = 0;
    return true;
}

// ---------------------------------------------------------------------------
// Nodes and data

bool VLXmlDocument::FindNode(int types)
{
    const wchar_t* p = m_p;
    const size_t n = m_n;
    size_t pos, limit = n;
    if (m_parent) {
        const Record& parent = Rec(m_parent);
        limit = parent.start + parent.length - parent.endLength;
        if (limit < parent.start + parent.startLength)
            limit = parent.start + parent.startLength;
    }
    if (m_nodeLength)
        pos = m_nodeOffset + m_nodeLength;
    else if (m_current)
        pos = Rec(m_current).start + Rec(m_current).length;
    else if (m_parent)
        pos = Rec(m_parent).start + Rec(m_parent).startLength;
    else
        pos = 0;
    Token t;
    while (pos < limit) {
        NextToken(p, limit, pos, t);
        if (t.type == NodeElement)
            return false;
        int type = t.type == NodeEndTag ? int(NodeLoneEndTag) : t.type;
        if (type != NodeFaulty && (types == 0 || (type & types))) {
            m_nodeType = type;
            m_nodeOffset = t.start;
            m_nodeLength = t.end - t.start;
            return true;
        }
        pos = t.end;
    }
    return false;
}

VLString VLXmlDocument::GetNodeName() const
{
    const wchar_t* p = m_p;
    if (!m_nodeLength)
        return GetTagName();
    const size_t end = m_nodeOffset + m_nodeLength;
    switch (m_nodeType) {
    case NodeText:
    case NodeWhitespace:
        return VLString(L"#text");
    case NodeCData:
        return VLString(L"#cdata-section");
    case NodeComment:
        return VLString(L"#comment");
    case NodeProcessingInstruction:
    case NodeLoneEndTag: {
        size_t s = m_nodeOffset + 2;
        size_t q = s;
        while (q < end && !IsNameStop(p[q]))
            ++q;
        return VLString(p + s, static_cast<int>(q - s));
    }
    case NodeDocType: {
        size_t s = m_nodeOffset + 9;  // after "<!DOCTYPE"
        if (s > end)
            s = end;
        while (s < end && IsSpace(p[s]))
            ++s;
        size_t q = s;
        while (q < end && !IsSpace(p[q]) && p[q] != L'[' && p[q] != L'>')
            ++q;
        return VLString(p + s, static_cast<int>(q - s));
    }
    default:
        return VLString();
    }
}

VLString VLXmlDocument::GetData() const
{
    const wchar_t* p = m_p;
    if (m_nodeLength) {
        size_t s = m_nodeOffset, e = m_nodeOffset + m_nodeLength;
        auto inner = [&](size_t open, size_t close) {
            size_t a = s + open, b = e >= close ? e - close : s;
            if (a > b)
                a = b;
            if (a > e)
                a = b = e;
            return VLString(p + a, static_cast<int>(b - a));
        };
        switch (m_nodeType) {
        case NodeText:
            return DecodeText(p + s, e - s);
        case NodeCData:
            return inner(9, 3);
        case NodeProcessingInstruction:
            return inner(2, 2);
        case NodeComment:
            return inner(4, 3);
        case NodeLoneEndTag:
            return inner(2, 1);
        default:
            return VLString(p + s, static_cast<int>(e - s));
        }
    }
    if (!m_current)
        return VLString();
    return ElementData(m_current);
}

VLString VLXmlDocument::ElementData(uint32_t rec) const
{
    const Record& r = Rec(rec);
    if (r.firstChild || r.endLength == 0)
        return VLString();
    const wchar_t* p = m_p;
    size_t s = r.start + r.startLength;
    size_t e = r.start + r.length - r.endLength;
    if (e <= s)
        return VLString();
    if (FindUnit(p, s, e, L'<') >= e)
        return DecodeText(p + s, e - s);
    std::wstring out;
    Token t;
    for (size_t pos = s; pos < e; pos = t.end) {
        NextToken(p, e, pos, t);
        if (t.type == NodeText || t.type == NodeWhitespace) {
            VLString part = DecodeText(p + t.start, t.end - t.start);
            out.append(part.GetString(), static_cast<size_t>(part.GetLength()));
        } else if (t.type == NodeCData) {
            size_t a = t.start + 9, b = t.end - 3;
            if (a < b)
                out.append(p + a, b - a);
        }
    }
    return ToVLString(out);
}

VLString VLXmlDocument::GetChildData(const wchar_t* name)
{
    VLString data;
    if (FindChildElem(name, true)) {
        IntoElem();
        data = GetData();
        OutOfElem();
    }
    m_child = 0;
    return data;
}

VLString VLXmlDocument::GetDataAt(const wchar_t* path)
{
    ResetPos();
    if (!FindElem(path))
        return VLString();
    return GetData();
}

// ---------------------------------------------------------------------------
// Decoding and encoding

VLString VLXmlDocument::DecodeText(const wchar_t* text, size_t length)
{
    size_t amp = FindUnit(text, 0, length, L'&');
    if (amp >= length)
        return VLString(text, static_cast<int>(length));
    struct Named {
        const wchar_t* name;
        size_t length;
        wchar_t unit;
    };
    static const Named kNamed[] = {
        {L"lt;", 3, L'<'}, {L"amp;", 4, L'&'}, {L"gt;", 3, L'>'}, {L"apos;", 5, L'\''}, {L"quot;", 5, L'"'},
    };
    std::wstring out;
    out.reserve(length);
    out.append(text, amp);
    size_t i = amp;
    while (i < length) {
        wchar_t c = text[i];
        if (c != L'&') {
            out += c;
            ++i;
            continue;
        }
        size_t rest = length - i - 1;
        const wchar_t* r = text + i + 1;
        bool done = false;
        for (const Named& named : kNamed) {
            if (rest >= named.length && std::wmemcmp(r, named.name, named.length) == 0) {
                out += named.unit;
                i += 1 + named.length;
                done = true;
                break;
            }
        }
        if (!done && rest >= 1 && r[0] == L'#') {
            size_t j = 1;
            bool hex = rest > 1 && r[1] == L'x';
            if (hex)
                ++j;
            size_t semi = j;
            while (semi < rest && semi - j <= 7 && r[semi] != L';')
                ++semi;
            if (semi < rest && r[semi] == L';' && semi - j <= 7) {
                uint32_t value = 0;
                for (size_t k = j; k < semi; ++k) {
                    wchar_t d = r[k];
                    uint32_t digit;
                    if (d >= L'0' && d <= L'9')
                        digit = d - L'0';
                    else if (hex && d >= L'a' && d <= L'f')
                        digit = d - L'a' + 10;
                    else if (hex && d >= L'A' && d <= L'F')
                        digit = d - L'A' + 10;
                    else
                        break;
                    value = value * (hex ? 16 : 10) + digit;
                }
                value &= 0xFFFF;
                if (value != 0) {
                    out += wchar_t(value);
                    i += 1 + semi + 1;
                    done = true;
                }
            }
        }
        if (!done) {
            out += c;
            ++i;
        }
    }
    return ToVLString(out);
}

VLString VLXmlDocument::EncodeText(const wchar_t* text, bool attribute)
{
    std::wstring out;
    if (!text)
        return VLString();
    for (const wchar_t* s = text; *s; ++s) {
        wchar_t c = *s;
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        case L'\'':
            if (attribute) out += L"&apos;"; else out += c;
            break;
        case L'"':
            if (attribute) out += L"&quot;"; else out += c;
            break;
        case 0x01: out += L"&#x1;"; break;
        case L'\t': case L'\n': case L'\r': out += c; break;
        default:
            out += c < 0x20 ? L'?' : c;
            break;
        }
    }
    return ToVLString(out);
}

// ---------------------------------------------------------------------------
// Editing

void VLXmlDocument::ShiftSubtree(uint32_t root, ptrdiff_t delta)
{
    uint32_t r = root;
    for (;;) {
        Record& rec = Rec(r);
        rec.start = static_cast<uint32_t>(ptrdiff_t(rec.start) + delta);
        if (rec.firstChild) {
            r = rec.firstChild;
            continue;
        }
        while (r != root && !Rec(r).next)
            r = Rec(r).parent;
        if (r == root)
            return;
        r = Rec(r).next;
    }
}

// Replaces removeLength units at pos. container is the innermost element
// whose text holds pos (0: the document); records starting at or after pos
// move by the change in length and container and its ancestors grow or
// shrink. Only records after the edit are visited, so building a list at the
// end of a document costs its depth, not its size.
void VLXmlDocument::Splice(size_t pos, size_t removeLength, const VLString& insert, uint32_t container,
                           uint32_t editedStartTag)
{
    if (m_p == m_text.GetString()) {
        // In place: only the tail moves.
        if (removeLength)
            m_text.Delete(static_cast<int>(pos), static_cast<int>(removeLength));
        if (!insert.IsEmpty())
            m_text.Insert(static_cast<int>(pos), insert.GetString());
    } else {
        // A caller's view becomes the document's own text.
        std::wstring text;
        text.reserve(m_n - removeLength + static_cast<size_t>(insert.GetLength()));
        text.append(m_p, pos);
        text.append(insert.GetString(), static_cast<size_t>(insert.GetLength()));
        text.append(m_p + pos + removeLength, m_n - pos - removeLength);
        m_text = ToVLString(text);
    }
    SetText();
    const ptrdiff_t delta = ptrdiff_t(insert.GetLength()) - ptrdiff_t(removeLength);
    // Records inside a removed range are gone already.
    // Children are in text order: walk back from the last while they start
    // after the edit.
    if (uint32_t first = Rec(container).firstChild) {
        for (uint32_t c = Rec(first).prev; Rec(c).start >= pos; c = Rec(c).prev) {
            ShiftSubtree(c, delta);
            if (c == first)
                break;
        }
    }
    for (uint32_t a = container;; a = Rec(a).parent) {
        Record& enclosing = Rec(a);
        enclosing.length = static_cast<uint32_t>(ptrdiff_t(enclosing.length) + delta);
        if (!a)
            break;
        for (uint32_t s = enclosing.next; s; s = Rec(s).next)
            ShiftSubtree(s, delta);
    }
    if (editedStartTag)
        Rec(editedStartTag).startLength = static_cast<uint32_t>(ptrdiff_t(Rec(editedStartTag).startLength) + delta);
    m_flags |= FlagModified;
}

bool VLXmlDocument::SetAttrib(const wchar_t* name, const wchar_t* value)
{
    if (!m_current || !name || !*name)
        return false;
    VLString quoted(L"\"");
    quoted += EncodeText(value ? value : L"", true);
    quoted += L"\"";
    size_t vs, vl, itemEnd;
    int quote;
    if (FindAttribute(m_current, name, std::wcslen(name), vs, vl, itemEnd, quote)) {
        if (quote == -1) {
            VLString insert(L"=");
            insert += quoted;
            Splice(itemEnd, 0, insert, m_current, m_current);
        } else if (quote == 0) {
            Splice(vs, vl, quoted, m_current, m_current);
        } else {
            // The value with its quotes (the closing one may be missing).
            const Record& r = Rec(m_current);
            size_t end = vs + vl;
            if (end < size_t(r.start) + r.startLength - 1 && m_p[end] == wchar_t(quote))
                ++end;
            Splice(vs - 1, end - (vs - 1), quoted, m_current, m_current);
        }
        return true;
    }
    const Record& r = Rec(m_current);
    const wchar_t* p = m_p;
    size_t pos = r.start + r.startLength - 1;
    if (p[pos - 1] == L'/')
        --pos;
    VLString insert(L" ");
    insert += name;
    insert += L"=";
    insert += quoted;
    Splice(pos, 0, insert, m_current, m_current);
    return true;
}

bool VLXmlDocument::AddElem(const wchar_t* name, const wchar_t* data)
{
    if (!name || !*name)
        return false;
    const size_t nameLength = std::wcslen(name);
    VLString encoded = EncodeText(data ? data : L"", false);
    const size_t dataLength = static_cast<size_t>(encoded.GetLength());

    size_t pos;
    if (m_current) {
        const Record& c = Rec(m_current);
        pos = size_t(c.start) + c.length;
        const wchar_t* p = m_p;
        size_t n = m_n;
        if (pos + 1 < n && p[pos] == L'\r' && p[pos + 1] == L'\n')
            pos += 2;
    } else if (!m_parent) {
        pos = m_n;
    } else {
        Record& parent = Rec(m_parent);
        if (parent.flags & RecNotEnded)
            return false;  // no content to add to
        if (parent.endLength == 0) {
            // "<P/>" becomes "<P>", CR LF, "</P>" first.
            const wchar_t* p = m_p;
            size_t slash = parent.start + parent.startLength - 2;
            if (p[slash] != L'/')
                return false;
            size_t parentNameLength = NameEnd(p, parent.start + 1, slash) - (parent.start + 1);
            VLString open(L">\r\n</");
            open += VLString(p + parent.start + 1, static_cast<int>(parentNameLength));
            open += L">";
            Splice(slash, 2, open, m_parent, 0);
            Record& grown = Rec(m_parent);
            grown.startLength -= 1;
            grown.endLength = static_cast<uint32_t>(parentNameLength + 3);
        }
        const Record& open = Rec(m_parent);
        pos = size_t(open.start) + open.length - open.endLength;
    }

    VLString element(L"<");
    element += name;
    if (dataLength) {
        element += L">";
        element += encoded;
        element += L"</";
        element += name;
        element += L">";
    } else {
        element += L"/>";
    }
    element += L"\r\n";
    Splice(pos, 0, element, m_current ? Rec(m_current).parent : m_parent, 0);

    uint32_t r = NewRecord();
    if (!r)
        return false;
    Record& rec = Rec(r);
    rec.start = static_cast<uint32_t>(pos);
    if (dataLength) {
        rec.startLength = static_cast<uint32_t>(nameLength + 2);
        rec.endLength = static_cast<uint32_t>(nameLength + 3);
        rec.length = static_cast<uint32_t>(rec.startLength + dataLength + rec.endLength);
    } else {
        rec.startLength = static_cast<uint32_t>(nameLength + 3);
        rec.length = rec.startLength;
    }
    StoreNameLength(r);
    if (m_current)
        LinkAfter(m_current, r);
    else
        LinkLast(m_parent, r);
    m_current = r;
    m_child = 0;
    m_nodeType = 0;
    m_nodeOffset = m_nodeLength = 0;
    return true;
}

bool VLXmlDocument::RemoveElem()
{
    if (!m_current)
        return false;
    uint32_t rec = m_current;
    const Record& r = Rec(rec);
    size_t pos = r.start, length = r.length;
    uint32_t prev = (r.flags & RecFirstChild) ? 0 : r.prev;
    uint32_t parent = r.parent;
    Unlink(rec);
    FreeSubtree(rec);
    Splice(pos, length, VLString(), parent, 0);
    m_current = prev;
    m_child = 0;
    m_nodeType = 0;
    m_nodeOffset = m_nodeLength = 0;
    return true;
}
