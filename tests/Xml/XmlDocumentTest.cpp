// The XML document: tokenizer errors, recovery from bad nesting, references,
// data rules, paths and edits that must parse back.

#include "VLXmlDocument.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Str(const VLString& s)
{
    return std::wstring(s.GetString(), static_cast<size_t>(s.GetLength()));
}

std::string Narrow(const std::wstring& s)
{
    std::string out;
    for (wchar_t c : s)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

struct ErrorCase {
    const wchar_t* text;
    const wchar_t* error;  // expected first error ("" = none)
    bool wellFormed;
};

TEST(XmlDocument, ReportsFirstErrorWithItsOffset)
{
    const ErrorCase cases[] = {
        {L"", L"Empty document", false},
        {L"  <!-- only a comment -->\r\n", L"No root element", false},
        {L"<a/><b/>", L"Root element has sibling", false},
        {L"<a><!x></a>", L"Incorrect ! tag at offset 3", false},
        {L"<a><!-x--></a>", L"Incorrect comment tag at offset 3", false},
        {L"<a><![X[y]]></a>", L"Incorrect tag at offset 3", false},
        {L"<a>< b></a>", L"Incorrect tag name character at offset 3", false},
        {L"<a><1/></a>", L"Incorrect tag name character at offset 3", false},
        {L"<a></a", L"Element end tag at offset 3 unterminated", false},
        {L"<a><b x='1", L"Element tag at offset 3 unterminated", false},
        {L"<a><![CDATA[x", L"CDATA Section at offset 3 unterminated", false},
        {L"<a><?pi x", L"Processing instruction at offset 3 unterminated", false},
        {L"<a><!-- x", L"Comment at offset 3 unterminated", false},
        {L"<a/><!DOCTYPE a [<!ELEMENT a ANY>", L"Doctype at offset 4 unterminated", false},
        {L"<a><", L"tag at offset 3 unterminated", false},
        {L"<a></b></a>", L"No start tag for end tag 'b' at offset 3", false},
        {L"<a><b></a>", L"End tag 'a' at offset 7 does not match start tag 'b' at offset 3", false},
        {L"<a>text", L"Element 'a' at offset 0 not ended", false},
        // Cut-back elements leave the root with siblings; that message wins.
        {L"<a><b>", L"Root element has sibling", false},
        {L"<!DOCTYPE a [<!FOO>]><a/>", L"Incorrect ! tag at offset 13", false},
        {L"<a><!ENTITY x></a>", L"", false},  // faulty but silent
        {L"<a></b><c></a>", L"No start tag for end tag 'b' at offset 3", false},  // the first fault wins
        {L"<?xml version=\"1.0\"?>\r\n<!DOCTYPE a [<!ELEMENT a ANY><!-- c --><?p?>]>\r\n"
         L"<a x='>' y=\"'\">t<![CDATA[<x>]]><!--c--></a>\r\n",
         L"", true},
        {L"<Root><Item></ITEM></root>", L"", true},  // end tags ignore case
        {L"<a><b/></a><!-- tail -->  ", L"", true},
    };
    for (const ErrorCase& c : cases) {
        VLXmlDocument doc;
        bool ok = doc.SetDoc(c.text);
        EXPECT_EQ(Str(doc.GetError()), std::wstring(c.error)) << Narrow(c.text);
        EXPECT_EQ(ok, c.wellFormed) << Narrow(c.text);
        EXPECT_EQ(doc.IsWellFormed(), c.wellFormed) << Narrow(c.text);
    }
}

TEST(XmlDocument, RootSiblingsStayReachable)
{
    VLXmlDocument doc(L"<a>1</a><b>2</b>");
    EXPECT_FALSE(doc.IsWellFormed());
    EXPECT_TRUE(doc.FindElem(L"a"));
    EXPECT_EQ(Str(doc.GetData()), L"1");
    EXPECT_TRUE(doc.FindElem(L"b"));
    EXPECT_EQ(Str(doc.GetData()), L"2");
}

TEST(XmlDocument, ElementNotEndedHandsItsChildrenToItsParent)
{
    // "a" is never ended: its children become its following siblings.
    VLXmlDocument doc(L"<r><a x='1'><b>B</b><c/></r>");
    EXPECT_EQ(Str(doc.GetError()), L"End tag 'r' at offset 25 does not match start tag 'a' at offset 3");
    EXPECT_FALSE(doc.IsWellFormed());
    EXPECT_FALSE(doc.FindElem(L"/r/a/b"));
    EXPECT_TRUE(doc.FindElem(L"/r/a"));
    EXPECT_EQ(Str(doc.GetAttrib(L"x")), L"1");
    EXPECT_EQ(Str(doc.GetData()), L"");  // no content any more
    EXPECT_TRUE(doc.FindElem());
    EXPECT_EQ(Str(doc.GetTagName()), L"b");
    EXPECT_EQ(Str(doc.GetData()), L"B");
    EXPECT_TRUE(doc.FindElem());
    EXPECT_EQ(Str(doc.GetTagName()), L"c");
    EXPECT_FALSE(doc.FindElem());
    EXPECT_TRUE(doc.OutOfElem());
    EXPECT_EQ(Str(doc.GetTagName()), L"r");

    // Unclosed at the end of the text: same rule, whole chain flattened.
    VLXmlDocument open(L"<r><a><b><c/>");
    EXPECT_EQ(Str(open.GetError()), L"Root element has sibling");
    EXPECT_TRUE(open.FindElem(L"r"));
    EXPECT_TRUE(open.FindElem(L"a"));
    EXPECT_TRUE(open.FindElem(L"b"));
    EXPECT_TRUE(open.FindElem(L"c"));
    EXPECT_EQ(open.GetLevel(), 1);
}

TEST(XmlDocument, LoneEndTagIsIgnored)
{
    VLXmlDocument doc(L"<r><a>x</b>y</a><c>z</c></r>");
    EXPECT_EQ(Str(doc.GetError()), L"No start tag for end tag 'b' at offset 7");
    EXPECT_FALSE(doc.IsWellFormed());
    EXPECT_EQ(Str(doc.GetDataAt(L"/r/a")), L"xy");
    EXPECT_EQ(Str(doc.GetDataAt(L"/r/c")), L"z");
}

TEST(XmlDocument, DecodesOnlyCompleteKnownReferences)
{
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    };
    const Case cases[] = {
        {L"&#65;", L"A"},
        {L"&#x41;", L"A"},
        {L"&#x10041;", L"A"},  // only the lower 16 bits count
        {L"&#0;", L"&#0;"},
        {L"&#X41;", L"&#X41;"},
        {L"&nbsp;", L"&nbsp;"},
        {L"&LT;", L"&LT;"},
        {L"&lt;&gt;&amp;&apos;&quot;", L"<>&'\""},
        {L"&amp;lt;", L"&lt;"},  // decoded once
        {L"a &lt", L"a &lt"},    // reference cut off by the end
        {L"&#12345678;", L"&#12345678;"},  // longer than 7 units
        {L"&#;", L"&#;"},
        {L"&", L"&"},
        {L" keep\r\n  white space ", L" keep\r\n  white space "},
    };
    for (const Case& c : cases) {
        VLString got = VLXmlDocument::DecodeText(c.in, std::wcslen(c.in));
        EXPECT_EQ(Str(got), std::wstring(c.out)) << Narrow(c.in);
        // The same rules apply to element data and attribute values.
        std::wstring escaped;
        for (const wchar_t* s = c.in; *s; ++s)
            escaped += *s == L'"' ? std::wstring(L"&quot;") : std::wstring(1, *s);
        VLXmlDocument doc(VLString((L"<a v=\"" + escaped + L"\">" + c.in + L"</a>").c_str()));
        ASSERT_TRUE(doc.FindElem(L"a"));
        if (std::wstring(c.in).find(L'"') == std::wstring::npos) {
                EXPECT_EQ(Str(doc.GetAttrib(L"v")), std::wstring(c.out)) << Narrow(c.in);
        }
        EXPECT_EQ(Str(doc.GetData()), std::wstring(c.out)) << Narrow(c.in);
    }
}

TEST(XmlDocument, DataRules)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* data;
    };
    const Case cases[] = {
        {L"<a>plain &amp; simple</a>", L"plain & simple"},
        {L"<a>x<!--c-->y<![CDATA[<&amp;>]]><?p q?>w</a>", L"xy<&amp;>w"},
        {L"<a>text<b/>more</a>", L""},  // has a child element
        {L"<a/>", L""},
        {L"<a></a>", L""},
        {L"<a>  </a>", L"  "},
    };
    for (const Case& c : cases) {
        VLXmlDocument doc(c.text);
        ASSERT_TRUE(doc.FindElem()) << Narrow(c.text);
        EXPECT_EQ(Str(doc.GetData()), std::wstring(c.data)) << Narrow(c.text);
    }
}

TEST(XmlDocument, NodesBetweenElements)
{
    VLXmlDocument doc(L"<!DOCTYPE Qx [<!ELEMENT a ANY>]><r>t&lt;1<!--note--><![CDATA[raw]]><?app do?><e/>tail</r>");
    ASSERT_TRUE(doc.FindElem(L"r"));
    ASSERT_TRUE(doc.IntoElem());
    struct Want {
        int type;
        const wchar_t* name;
        const wchar_t* data;
    };
    const Want wants[] = {
        {VLXmlDocument::NodeText, L"#text", L"t<1"},
        {VLXmlDocument::NodeComment, L"#comment", L"note"},
        {VLXmlDocument::NodeCData, L"#cdata-section", L"raw"},
        {VLXmlDocument::NodeProcessingInstruction, L"app", L"app do"},
    };
    for (const Want& w : wants) {
        ASSERT_TRUE(doc.FindNode());
        EXPECT_EQ(doc.GetNodeType(), w.type);
        EXPECT_EQ(Str(doc.GetNodeName()), std::wstring(w.name));
        EXPECT_EQ(Str(doc.GetData()), std::wstring(w.data));
    }
    EXPECT_FALSE(doc.FindNode());  // an element comes next
    ASSERT_TRUE(doc.FindElem(L"e"));
    ASSERT_TRUE(doc.FindNode());
    EXPECT_EQ(Str(doc.GetData()), L"tail");

    doc.ResetPos();
    ASSERT_TRUE(doc.FindNode(VLXmlDocument::NodeDocType));
    EXPECT_EQ(Str(doc.GetNodeName()), L"Qx");
}

const wchar_t kConfig[] =
    L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
    L"<VLIC version=\"1.0\">\r\n"
    L"  <Product><Other>o</Other></Product>\r\n"
    L"  <Product><Name>N</Name><InstallToPath>C:\\Program Files\\Q</InstallToPath></Product>\r\n"
    L"  <Items><Item>first</Item><Item Name=\"k\">second</Item><Item>third</Item></Items>\r\n"
    L"  <DefaultSettings><Volume>7</Volume></DefaultSettings>\r\n"
    L"  <Deep><Deeper><Deepest>d</Deepest></Deeper></Deep>\r\n"
    L"</VLIC>\r\n";

TEST(XmlDocument, PathForms)
{
    VLXmlDocument doc(kConfig);
    ASSERT_TRUE(doc.IsWellFormed()) << Narrow(Str(doc.GetError()));
    struct Case {
        const wchar_t* path;
        const wchar_t* data;  // null: not found
    };
    const Case cases[] = {
        {L"/*/Product/InstallToPath", nullptr},  // no backtracking to the second Product
        {L"/*/Product[Name]/InstallToPath", L"C:\\Program Files\\Q"},
        {L"/VLIC/Product[2]/Name", L"N"},
        {L"/vlic/product[2]/name", L"N"},  // names ignore case
        {L"/Other/Product", nullptr},
        {L"/*/Items/Item[@Name]", L"second"},
        {L"/*/Items/Item[2]", L"second"},
        {L"/*/Items/Item[3]", L"third"},
        {L"/*/Items/Item[4]", nullptr},
        {L"/*/Items/*[3]", L"third"},
        {L"/*/DefaultSettings/Volume", L"7"},
        {L"/*/Deep/Deeper/Deepest", L"d"},
        {L"//Deepest", L"d"},
        {L"//Item[3]", L"third"},
        {L"/*/Pro", nullptr},        // the name must match in full
        {L"/*/ProductX", nullptr},
        {L"/*/Items/Item[", nullptr},  // malformed
    };
    for (const Case& c : cases) {
        VLString got = doc.GetDataAt(c.path);
        doc.ResetPos();
        bool found = doc.FindElem(c.path);
        EXPECT_EQ(found, c.data != nullptr) << Narrow(c.path);
        if (c.data) {
                EXPECT_EQ(Str(got), std::wstring(c.data)) << Narrow(c.path);
        }
    }
    // A trailing "/" names the element before it.
    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem(L"/*/DefaultSettings/"));
    EXPECT_EQ(Str(doc.GetTagName()), L"DefaultSettings");
    EXPECT_EQ(Str(doc.GetChildData(L"Volume")), L"7");

    // A failed search leaves the position where it was.
    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem(L"/*/Items"));
    EXPECT_FALSE(doc.FindElem(L"Missing"));
    EXPECT_EQ(Str(doc.GetTagName()), L"Items");
}

TEST(XmlDocument, RelativeSearchAndPositions)
{
    VLXmlDocument doc(kConfig);
    EXPECT_TRUE(doc.FindElem(L"VLIC"));
    EXPECT_TRUE(doc.IntoElem());
    EXPECT_TRUE(doc.FindElem(L"Product"));
    EXPECT_TRUE(doc.FindElem(L"Product"));  // searches after the current one
    EXPECT_EQ(Str(doc.GetChildData(L"Name")), L"N");
    EXPECT_FALSE(doc.FindElem(L"Product"));
    EXPECT_TRUE(doc.FindElem(L"Items"));
    EXPECT_TRUE(doc.FindChildElem(L"Item"));
    EXPECT_TRUE(doc.FindChildElem(L"Item"));
    EXPECT_TRUE(doc.IntoElem());
    EXPECT_EQ(Str(doc.GetAttrib(L"NAME")), L"k");
    EXPECT_EQ(Str(doc.GetData()), L"second");
    EXPECT_TRUE(doc.OutOfElem());
    EXPECT_EQ(Str(doc.GetTagName()), L"Items");
    EXPECT_TRUE(doc.FindChildElem());  // continues after the child position
    EXPECT_TRUE(doc.IntoElem());
    EXPECT_EQ(Str(doc.GetData()), L"third");
    EXPECT_TRUE(doc.OutOfElem());
    EXPECT_TRUE(doc.OutOfElem());
    EXPECT_EQ(Str(doc.GetTagName()), L"VLIC");
    EXPECT_FALSE(doc.OutOfElem());
    // "//" from a current element searches its descendants, then onwards.
    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem(L"/*/Deep"));
    EXPECT_TRUE(doc.FindElem(L"//Deepest"));
    EXPECT_EQ(doc.GetLevel(), 4);
    EXPECT_FALSE(doc.FindElem(L"//Item"));
    // FindChildElem with no current element picks the first element first.
    doc.ResetPos();
    EXPECT_TRUE(doc.FindChildElem(L"Items", true));
    EXPECT_EQ(Str(doc.GetTagName()), L"VLIC");
}

TEST(XmlDocument, Attributes)
{
    VLXmlDocument doc(L"<a one=\"1\" two='2&apos;' three=3 four five = \"5 > 4\" six='x\"y'/>");
    ASSERT_TRUE(doc.IsWellFormed()) << Narrow(Str(doc.GetError()));
    ASSERT_TRUE(doc.FindElem(L"a"));
    EXPECT_EQ(Str(doc.GetAttrib(L"one")), L"1");
    EXPECT_EQ(Str(doc.GetAttrib(L"TWO")), L"2'");
    EXPECT_EQ(Str(doc.GetAttrib(L"three")), L"3");
    EXPECT_EQ(Str(doc.GetAttrib(L"four")), L"");
    EXPECT_EQ(Str(doc.GetAttrib(L"five")), L"5 > 4");
    EXPECT_EQ(Str(doc.GetAttrib(L"six")), L"x\"y");
    EXPECT_EQ(Str(doc.GetAttrib(L"seven")), L"");
    EXPECT_EQ(Str(doc.GetTagName()), L"a");
}

TEST(XmlDocument, SetAttribProducesTextThatParsesBack)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* name;
        const wchar_t* value;
        const wchar_t* result;
    };
    const Case cases[] = {
        {L"<a/>", L"n", L"v", L"<a n=\"v\"/>"},
        {L"<a></a>", L"n", L"v", L"<a n=\"v\"></a>"},
        {L"<a n='old' m=x/>", L"n", L"<&'\">", L"<a n=\"&lt;&amp;&apos;&quot;&gt;\" m=x/>"},
        {L"<a m=x/>", L"M", L"y", L"<a m=\"y\"/>"},
        {L"<a flag></a>", L"flag", L"1", L"<a flag=\"1\"></a>"},
        {L"<a>t</a>", L"c", L"\x01\x02\t", L"<a c=\"&#x1;?\t\">t</a>"},
    };
    for (const Case& c : cases) {
        VLXmlDocument doc(VLString(L"<r>") + c.text + L"<z k='1'/></r>");
        ASSERT_TRUE(doc.FindElem(L"/r/a")) << Narrow(c.text);
        ASSERT_TRUE(doc.SetAttrib(c.name, c.value));
        EXPECT_EQ(Str(doc.GetDoc()), L"<r>" + std::wstring(c.result) + L"<z k='1'/></r>");
        EXPECT_TRUE(doc.GetFlags() & VLXmlDocument::FlagModified);
        // The index follows the edit: later elements are still found.
        std::wstring want = c.value;
        for (wchar_t& ch : want)
            if (ch == 2)
                ch = L'?';
        EXPECT_EQ(Str(doc.GetAttrib(c.name)), want) << Narrow(c.text);
        EXPECT_EQ(Str(doc.GetDataAt(L"/r/a")), std::wstring(wcsstr(c.text, L">t<") ? L"t" : L""));
        ASSERT_TRUE(doc.FindElem(L"/r/z"));
        EXPECT_EQ(Str(doc.GetAttrib(L"k")), L"1");
        // And a fresh parse of the text agrees.
        VLXmlDocument again(doc.GetDoc());
        EXPECT_TRUE(again.IsWellFormed()) << Narrow(Str(again.GetError()));
        ASSERT_TRUE(again.FindElem(L"/r/a"));
        EXPECT_EQ(Str(again.GetAttrib(c.name)), want);
    }
}

TEST(XmlDocument, AddElemProducesTextThatParsesBack)
{
    VLXmlDocument doc;
    ASSERT_TRUE(doc.AddElem(L"Item", L"a < b & c"));
    ASSERT_TRUE(doc.SetAttrib(L"Name", L"first"));
    ASSERT_TRUE(doc.AddElem(L"Item"));
    ASSERT_TRUE(doc.SetAttrib(L"Name", L"empty"));
    EXPECT_EQ(Str(doc.GetDoc()),
              L"<Item Name=\"first\">a &lt; b &amp; c</Item>\r\n<Item Name=\"empty\"/>\r\n");
    EXPECT_EQ(Str(doc.GetData()), L"");
    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem(L"Item"));
    EXPECT_EQ(Str(doc.GetData()), L"a < b & c");

    // Into an empty parent: it is opened first.
    VLXmlDocument tree(L"<r><p/><q>1</q></r>");
    ASSERT_TRUE(tree.FindElem(L"/r/p"));
    ASSERT_TRUE(tree.IntoElem());
    ASSERT_TRUE(tree.AddElem(L"c", L"x"));
    ASSERT_TRUE(tree.AddElem(L"d"));
    EXPECT_EQ(Str(tree.GetDoc()), L"<r><p>\r\n<c>x</c>\r\n<d/>\r\n</p><q>1</q></r>");
    EXPECT_EQ(Str(tree.GetDataAt(L"/r/q")), L"1");
    EXPECT_EQ(Str(tree.GetDataAt(L"/r/p/c")), L"x");
    VLXmlDocument again(tree.GetDoc());
    EXPECT_TRUE(again.IsWellFormed());
    EXPECT_EQ(Str(again.GetDataAt(L"/r/p/c")), L"x");
    EXPECT_TRUE(again.FindElem(L"/r/p/d"));
}

TEST(XmlDocument, RemovedRecordsAreReused)
{
    VLXmlDocument doc(L"<r><a><x/><y/></a><b>2</b></r>");
    size_t before = doc.GetElementCount();
    ASSERT_TRUE(doc.FindElem(L"/r/a"));
    ASSERT_TRUE(doc.RemoveElem());
    EXPECT_EQ(Str(doc.GetDoc()), L"<r><b>2</b></r>");
    EXPECT_EQ(doc.GetElementCount(), before - 3);
    EXPECT_EQ(Str(doc.GetDataAt(L"/r/b")), L"2");
    ASSERT_TRUE(doc.FindElem(L"/r/b"));
    ASSERT_TRUE(doc.AddElem(L"c", L"3"));
    EXPECT_EQ(doc.GetElementCount(), before - 2);
    EXPECT_EQ(Str(doc.GetDataAt(L"/r/c")), L"3");
    EXPECT_TRUE(VLXmlDocument(doc.GetDoc()).IsWellFormed());
}

TEST(XmlDocument, EncodeRules)
{
    EXPECT_EQ(Str(VLXmlDocument::EncodeText(L"a<b>&'\"\t\r\n\x1\x8\xb\x1f", false)),
              L"a&lt;b&gt;&amp;'\"\t\r\n&#x1;???");
    EXPECT_EQ(Str(VLXmlDocument::EncodeText(L"'\"", true)), L"&apos;&quot;");
}

}  // namespace
