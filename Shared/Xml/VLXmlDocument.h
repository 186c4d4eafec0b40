#pragma once
// XML text with an element index beside it. The document is one UTF-16
// string; the index records where each element's tags lie in that string, so
// reading goes back to the text and edits splice the text and shift offsets.
// The parser never gives up: it keeps the first error message, marks the
// document not well-formed and indexes every element it can recognise.

#include "VLString.h"

#include <cstdint>
#include <vector>

class VLXmlDocument {
public:
    // Node kinds shared by the tokenizer and the node position.
    enum NodeType : int {
        NodeFaulty = -1,       // markup that starts wrongly; skipped
        NodeEndTag = 0,        // tokenizer only: an end tag
        NodeElement = 1,
        NodeText = 2,
        NodeWhitespace = 4,
        NodeCData = 8,
        NodeProcessingInstruction = 16,
        NodeComment = 32,
        NodeDocType = 64,
        NodeLoneEndTag = 128,  // an end tag without a start tag
    };

    // Document flags.
    enum : unsigned {
        FlagModified = 2,    // the text was changed by an editing operation
        FlagIgnoreCase = 8,  // element and attribute names compare without case
    };

    VLXmlDocument();
    explicit VLXmlDocument(const VLString& text);
    ~VLXmlDocument();
    VLXmlDocument(const VLXmlDocument&) = delete;
    VLXmlDocument& operator=(const VLXmlDocument&) = delete;

    // Reads the file as text (UTF-16 or UTF-8 with or without a byte-order
    // mark, else the ANSI code page). Returns false and leaves the document
    // unchanged when the file cannot be read; otherwise IsWellFormed().
    bool Load(const wchar_t* path);
    // Replaces the text and parses it; returns IsWellFormed().
    bool SetDoc(const VLString& text);
    // Parses text that the caller keeps alive and unchanged while the
    // document uses it (a mapped file, say); nothing is copied until an edit
    // or GetDoc needs the document's own string.
    bool SetDocView(const wchar_t* text, size_t length);
    // The current text, including all edits.
    const VLString& GetDoc() const;
    // First error of the last parse, or empty.
    const VLString& GetError() const { return m_error; }
    // The not-well-formed mark is clear and there is exactly one root element.
    bool IsWellFormed() const;
    unsigned GetFlags() const { return m_flags; }

    // Positions. A path is steps separated by "/": a name or "*", with an
    // optional condition [n], [@attr] or [child]. A leading "/" matches the
    // first step against the root; a leading "//" searches in document order.
    // A failed search leaves the position unchanged.
    void ResetPos();
    // Searches after the current element at the current level; a missing
    // name matches any element. The match becomes current.
    bool FindElem(const wchar_t* path = nullptr);
    // Searches the children of the current element after the child position
    // (cleared first with reset). Paths are relative here; with several
    // steps the current element moves down to the match's parent.
    bool FindChildElem(const wchar_t* path = nullptr, bool reset = false);
    // The current element becomes the parent and the child position current.
    bool IntoElem();
    // The parent becomes current; the old current element the child position.
    bool OutOfElem();
    // Moves to the next node (text, CDATA, comment...) after the current
    // element or node at the current level; types is a mask of NodeType
    // values (0 = any). Elements end the search: they are reached by FindElem.
    bool FindNode(int types = 0);
    int GetNodeType() const { return m_nodeLength ? m_nodeType : (m_current ? NodeElement : 0); }

    VLString GetTagName() const;
    VLString GetNodeName() const;
    // Decoded text of the current node or element: empty for an element with
    // child elements or without content; text and CDATA joined otherwise.
    VLString GetData() const;
    // Data of the first matching child; the child position is cleared.
    VLString GetChildData(const wchar_t* name);
    // ResetPos, FindElem(path), GetData; empty when nothing is found.
    VLString GetDataAt(const wchar_t* path);
    // Decoded value; empty when absent and for a name written without "=".
    VLString GetAttrib(const wchar_t* name) const;
    // Sets or adds an attribute of the current element.
    bool SetAttrib(const wchar_t* name, const wchar_t* value);
    // Adds an element after the current element (at the end of the current
    // level when there is none); it becomes the current element.
    bool AddElem(const wchar_t* name, const wchar_t* data = nullptr);
    // Removes the current element with its content; the previous sibling (if
    // any) becomes current. Its records go onto the free list.
    bool RemoveElem();

    // Entity and character references to text, and back.
    static VLString DecodeText(const wchar_t* text, size_t length);
    static VLString EncodeText(const wchar_t* text, bool attribute);

    // Index statistics for the benchmark: records in use and bytes allocated.
    size_t GetElementCount() const;
    size_t GetIndexBytes() const;

    // Nesting depth of the current element (1 for the root), 0 when none.
    int GetLevel() const;

private:
    struct Record {
        uint32_t start;        // offset of "<" of the start tag
        uint32_t length;       // "<" to the end of the end tag (or start tag)
        uint32_t startLength;  // length of the start tag
        uint32_t endLength;    // length of the end tag; 0: "/>" or not ended
        uint32_t flags;        // Rec* bits below; upper 16 bits: tag name length
        uint32_t parent;
        uint32_t firstChild;
        uint32_t next;
        uint32_t prev;         // the first child's prev is the last child
    };
    enum : uint32_t {
        RecNotEnded = 1,
        RecError = 2,
        RecFirstChild = 4,
        RecFree = 8,
        RecNotWellFormed = 16,  // record 0 only
    };
    // Stored tag name lengths let sibling searches reject most names without
    // touching the text; longer names are measured when asked for.
    static constexpr uint32_t kNameUnknown = 0xFFFF;
    static constexpr uint32_t kChunkBits = 16;
    static constexpr uint32_t kChunkSize = 1u << kChunkBits;

    struct OpenElem {
        uint32_t record;
        uint32_t nameStart;
        uint32_t nameLength;
        uint32_t bucket;    // hash of the name
        uint32_t prevSame;  // next lower open element in the same bucket (index + 1)
    };
    struct Token {
        int type;
        size_t start;
        size_t end;
        size_t nameStart;
        size_t nameLength;
        bool empty;                // start tag closed with "/>"
        const wchar_t* message;    // tokenizer error format, or null
        const wchar_t* kind;       // argument of the message
    };
    struct Step;
    static const wchar_t* ParseStep(const wchar_t* path, Step& step);

    Record& Rec(uint32_t i) { return m_chunks[i >> kChunkBits][i & (kChunkSize - 1)]; }
    const Record& Rec(uint32_t i) const { return m_chunks[i >> kChunkBits][i & (kChunkSize - 1)]; }

    void Parse();
    void ClearIndex();
    void ReserveRecords(size_t count);
    uint32_t NewRecord();
    void FreeSubtree(uint32_t root);
    void LinkLast(uint32_t parent, uint32_t child);
    void LinkAfter(uint32_t after, uint32_t child);
    void Unlink(uint32_t rec);
    void CutNotEnded(uint32_t rec);
    void MarkNotWellFormed() { Rec(0).flags |= RecNotWellFormed; }
    void ShiftSubtree(uint32_t root, ptrdiff_t delta);
    void Splice(size_t pos, size_t removeLength, const VLString& insert, uint32_t container,
                uint32_t editedStartTag);

    static bool ScanStartTag(const wchar_t* p, size_t n, size_t pos, Token& t);
    static bool ScanEndTag(const wchar_t* p, size_t n, size_t pos, Token& t);
    static bool NextMarkupToken(const wchar_t* p, size_t n, size_t pos, Token& t, bool inDocType);
    static void NextToken(const wchar_t* p, size_t n, size_t pos, Token& t);

    void StoreNameLength(uint32_t rec);
    size_t NameLength(uint32_t rec) const;
    bool NameEquals(uint32_t rec, const wchar_t* name, size_t length) const;
    bool FindAttribute(uint32_t rec, const wchar_t* name, size_t nameLength, size_t& valueStart,
                       size_t& valueLength, size_t& itemEnd, int& quote) const;
    bool HasChildNamed(uint32_t rec, const wchar_t* name, size_t length) const;
    bool MatchStep(uint32_t rec, const Step& step) const;
    uint32_t SearchLevel(uint32_t parent, uint32_t after, const Step& step) const;
    uint32_t SearchDocumentOrder(uint32_t from, const Step& step) const;
    bool FindPath(uint32_t parent, uint32_t after, const wchar_t* path, uint32_t& found) const;
    VLString ElementData(uint32_t rec) const;

    void SetText();

    mutable VLString m_text;
    mutable const wchar_t* m_p = nullptr;  // the text parsed: m_text's or a caller's view
    size_t m_n = 0;
    VLString m_error;
    unsigned m_flags = FlagIgnoreCase;
    std::vector<Record*> m_chunks;
    uint32_t m_lastChunkSize = 0;  // records allocated in the last chunk
    uint32_t m_used = 0;           // records handed out (next fresh slot)
    uint32_t m_capacity = 0;       // records the index is sized for
    uint32_t m_free = 0;           // head of the free list (0 = empty)
    uint32_t m_inUse = 0;          // records in use, document record included
    uint32_t m_parent = 0;
    uint32_t m_current = 0;
    uint32_t m_child = 0;
    int m_nodeType = 0;
    size_t m_nodeOffset = 0;
    size_t m_nodeLength = 0;
};
