// Seeded, bounded mutations of one real example of every XML document the
// installer reads. The parser must never crash, hang or read outside the
// text: each text is placed against an inaccessible page (once ending at it,
// once starting after it) and parsed in place with SetDocView, so a read one
// unit past either end faults. Edits on well-formed results must agree with
// a fresh parse of the edited text.

#include "VLFileName.h"
#include "VLPropertyMap.h"
#include "VLXmlDocument.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A read outside the text ends the run at once with a clear line, instead
// of waiting in the debugger until the test times out.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info)
{
    std::fprintf(stderr, "XmlMutationTest: exception 0x%08lx at %p\n",
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                 info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

const struct CrashReporter {
    CrashReporter() { SetUnhandledExceptionFilter(ReportCrash); }
} s_crashReporter;

const wchar_t kInstallXml[] =
    L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
    L"<VLIC version=\"1.0\">\r\n"
    L"  <Settings>\r\n"
    L"    <SupportFiles>..\\Extras</SupportFiles>\r\n"
    L"    <AllowDowngrade>0</AllowDowngrade>\r\n"
    L"    <BundledMedia>Media\\</BundledMedia>\r\n"
    L"  </Settings>\r\n"
    L"  <General><MegaSkin>Auralis</MegaSkin><MegaSkinStyles>Standard;Dark</MegaSkinStyles></General>\r\n"
    L"  <Installer><PromoCount>3</PromoCount><PromoMinimumMilliseconds>4000</PromoMinimumMilliseconds></Installer>\r\n"
    L"  <Product><InstallToPath>C:\\Program Files\\Velmora\\Auralis 22\\</InstallToPath>\r\n"
    L"    <ObsoleteFiles>old.dll;older.exe</ObsoleteFiles></Product>\r\n"
    L"  <DefaultSettings><Volume>80</Volume><Language>en &amp; de</Language></DefaultSettings>\r\n"
    L"  <Features><Feature Id=\"176\">1</Feature></Features>\r\n"
    L"</VLIC>\r\n";

const wchar_t kSkinMainXml[] =
    L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    L"<!DOCTYPE QBMS [<!ELEMENT QBMS ANY><!ATTLIST QBMS version CDATA #REQUIRED><!-- skin -->]>\r\n"
    L"<QBMS version=\"3.0\" style='Standard'>\r\n"
    L"  <MAINFRAME Width=\"640\" Height=\"480\" Image=\"frame.png\">\r\n"
    L"    <Button Id=\"1\" Tip=\"Play &gt; now\" x=10 y=20/>\r\n"
    L"    <Text Font=\"Segoe UI\"><![CDATA[<b>Auralis</b> & friends]]></Text>\r\n"
    L"    <?skin-tool rebuild?>\r\n"
    L"  </MAINFRAME>\r\n"
    L"</QBMS>\r\n";

const wchar_t kPackageQbp[] =
    L"<QBPF version=\"2.0\">\r\n"
    L"  <Package>\r\n"
    L"    <Action>INSTALLPLUGIN | RUNPROGRAM</Action>\r\n"
    L"    <Name>Visualiser Pack</Name>\r\n"
    L"    <URL>http://downloads.example/vis.zip</URL>\r\n"
    L"    <Version>1.2</Version>\r\n"
    L"    <HasActions>1</HasActions>\r\n"
    L"  </Package>\r\n"
    L"  <Actions>\r\n"
    L"    <FileEntry><File>*.*</File><FileType>Data</FileType>\r\n"
    L"      <Action><Command>COPY</Command><Param>[PROGRAMPATH]\\Plugins</Param></Action>\r\n"
    L"      <Action><Command>REGISTRY</Command><Param>HKEY_CURRENT_USER|Software\\X|v|1</Param></Action>\r\n"
    L"    </FileEntry>\r\n"
    L"  </Actions>\r\n"
    L"</QBPF>\r\n";

const wchar_t kFileAssociations[] =
    L"<QBFA version=\"1.0\">\r\n"
    L"  <DescriptionTypes>\r\n"
    L"    <Audio>MP3 audio (mp3);Wave (wav,wave);flac</Audio>\r\n"
    L"    <Video>Video (avi,mkv)</Video>\r\n"
    L"  </DescriptionTypes>\r\n"
    L"  <DefaultFileTypes>mp3;flac;avi</DefaultFileTypes>\r\n"
    L"  <QBTypes>mp3;wav</QBTypes>\r\n"
    L"  <MimeAssociations>\r\n"
    L"    <Audio><Type Name=\"mp3\">audio/mpeg;audio/mp3</Type><Type Name='wav'>audio/wav</Type></Audio>\r\n"
    L"    <Video><Type Name=\"avi\">video/avi</Type></Video>\r\n"
    L"  </MimeAssociations>\r\n"
    L"  <!-- end of catalogue -->\r\n"
    L"</QBFA>\r\n";

std::wstring PropertyMapForm(const wchar_t* root)
{
    VLPropertyMap map;
    map.Set(L"Filename", L"C:\\Music\\a & b.mp3");
    map.Set(L"Library Path", L"D:\\Library\\");
    map.Set(L"Quote\"d", L"<tag> 'x' \r\n next");
    VLString text = map.ToXML(root, 1.0);
    return std::wstring(text.GetString(), static_cast<size_t>(text.GetLength()));
}

// Text placed against inaccessible pages.
class GuardedText {
public:
    GuardedText(const std::wstring& text, bool endAtGuard)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        const size_t page = info.dwPageSize;
        const size_t bytes = text.size() * sizeof(wchar_t);
        const size_t pages = (bytes + page - 1) / page;
        m_size = (pages + 2) * page;
        m_base = static_cast<char*>(VirtualAlloc(nullptr, m_size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        if (!m_base)
            return;
        DWORD old;
        VirtualProtect(m_base, page, PAGE_NOACCESS, &old);
        VirtualProtect(m_base + (pages + 1) * page, page, PAGE_NOACCESS, &old);
        char* data = endAtGuard ? m_base + (pages + 1) * page - bytes : m_base + page;
        if (bytes)
            std::memcpy(data, text.data(), bytes);
        m_text = reinterpret_cast<const wchar_t*>(data);
        m_length = text.size();
    }
    ~GuardedText()
    {
        if (m_base)
            VirtualFree(m_base, 0, MEM_RELEASE);
    }
    GuardedText(const GuardedText&) = delete;
    GuardedText& operator=(const GuardedText&) = delete;

    const wchar_t* Text() const { return m_text; }
    size_t Length() const { return m_length; }

private:
    char* m_base = nullptr;
    size_t m_size = 0;
    const wchar_t* m_text = nullptr;
    size_t m_length = 0;
};

// Everything a reader does, over the whole document. Returns the elements
// visited by the position walk, which must equal the index's element count.
size_t Exercise(VLXmlDocument& doc)
{
    doc.IsWellFormed();
    doc.GetError();
    size_t visited = 0;
    const size_t limit = doc.GetElementCount() + 1;
    doc.ResetPos();
    for (;;) {
        if (doc.FindElem()) {
            if (++visited > limit)
                break;  // a cycle in the index; the caller's count check fails
            doc.GetTagName();
            doc.GetNodeName();
            doc.GetData();
            doc.GetAttrib(L"Name");
            doc.GetAttrib(L"version");
            if (doc.FindNode()) {
                doc.GetNodeName();
                doc.GetData();
            }
            doc.IntoElem();
            continue;
        }
        if (!doc.OutOfElem())
            break;
    }
    // Nodes at the top level.
    doc.ResetPos();
    for (int i = 0; i < 64 && doc.FindNode(); ++i) {
        doc.GetNodeName();
        doc.GetData();
    }
    const wchar_t* const paths[] = {
        L"/*/Settings/SupportFiles", L"/*/Package/Action", L"//Item[2]", L"/*/*[@Name]", L"//*[Name]",
        L"/*/MAINFRAME", L"//Type[@Name]", L"/*/DescriptionTypes/Audio", L"Item", L"*[3]/x",
    };
    for (const wchar_t* path : paths) {
        doc.GetDataAt(path);
        doc.ResetPos();
        if (doc.FindElem(path)) {
            doc.GetChildData(L"Action");
            doc.FindChildElem(nullptr, true);
            doc.FindChildElem(L"*[2]");
        }
    }
    return visited;
}

// Tag names, data and one attribute of every element in walk order.
std::vector<std::wstring> Signature(VLXmlDocument& doc)
{
    std::vector<std::wstring> out;
    doc.ResetPos();
    for (;;) {
        if (doc.FindElem()) {
            VLString name = doc.GetTagName(), data = doc.GetData(), attrib = doc.GetAttrib(L"Mut");
            out.push_back(std::wstring(name.GetString(), name.GetLength()) + L"|" +
                          std::wstring(data.GetString(), data.GetLength()) + L"|" +
                          std::wstring(attrib.GetString(), attrib.GetLength()));
            doc.IntoElem();
            continue;
        }
        if (!doc.OutOfElem())
            break;
        out.push_back(L"^");
    }
    return out;
}

// Parses the text in place against both guards, exercises it, and for
// well-formed documents checks that edits keep the index true to the text.
void Check(const std::wstring& text, uint32_t seed, const char* what)
{
    for (bool endAtGuard : {true, false}) {
        GuardedText guarded(text, endAtGuard);
        ASSERT_NE(guarded.Text(), nullptr);
        VLXmlDocument doc;
        bool wellFormed = doc.SetDocView(guarded.Text(), guarded.Length());
        size_t visited = Exercise(doc);
        ASSERT_EQ(visited, doc.GetElementCount()) << what << " seed " << seed;
        if (!wellFormed || !endAtGuard || doc.GetElementCount() < 2)
            continue;
        doc.ResetPos();
        // Below the root, so the added sibling keeps the document well-formed.
        std::wstring path = L"//*[" + std::to_wstring(2 + seed % (doc.GetElementCount() - 1)) + L"]";
        ASSERT_TRUE(doc.FindElem(path.c_str()));
        ASSERT_TRUE(doc.SetAttrib(L"Mut", L"v<&\"'"));
        ASSERT_TRUE(doc.AddElem(L"Added", L"d & e"));
        VLXmlDocument fresh(doc.GetDoc());
        ASSERT_TRUE(fresh.IsWellFormed()) << what << " seed " << seed;
        ASSERT_EQ(Signature(doc), Signature(fresh)) << what << " seed " << seed;
        // Removing an element shifts everything after it back.
        doc.ResetPos();
        ASSERT_TRUE(doc.FindElem(path.c_str()));
        ASSERT_TRUE(doc.RemoveElem());
        VLXmlDocument removed(doc.GetDoc());
        ASSERT_EQ(Signature(doc), Signature(removed)) << what << " seed " << seed;
    }
}

struct Sample {
    const char* name;
    std::wstring text;
};

std::vector<Sample> Samples()
{
    return {
        {"Install.xml", kInstallXml},
        {"main.xml", kSkinMainXml},
        {"package.qbp", kPackageQbp},
        {"FileAssociations.xml", kFileAssociations},
        {"XMLPH", PropertyMapForm(L"XMLPH")},
        {"XMLFN", PropertyMapForm(L"XMLFN")},
    };
}

class Random {
public:
    explicit Random(uint32_t seed) : m_state(seed * 2654435761u + 1) {}
    uint32_t Next(uint32_t range)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<uint32_t>((uint64_t(m_state >> 4) * range) >> 28);
    }

private:
    uint32_t m_state;
};

TEST(XmlMutation, SamplesParseCleanly)
{
    for (const Sample& s : Samples()) {
        VLXmlDocument doc(s.text.c_str());
        EXPECT_TRUE(doc.IsWellFormed()) << s.name << ": " << std::string(doc.GetError().ToUtf8());
        Check(s.text, 1, s.name);
    }
    // The file name form reads back through the file name object.
    VLFileName name(PropertyMapForm(L"XMLFN").c_str());
    EXPECT_EQ(std::wstring(name.GetPath().GetString()), L"C:\\Music\\a & b.mp3");
}

TEST(XmlMutation, EveryTruncation)
{
    for (const Sample& s : Samples()) {
        for (size_t length = 0; length <= s.text.size(); ++length)
            Check(s.text.substr(0, length), static_cast<uint32_t>(length), s.name);
    }
}

TEST(XmlMutation, InsertedDeletedAndReplacedUnits)
{
    const wchar_t markup[] = L"<>/!?-[]&;\"'= \r\nCDx#";
    const size_t kMarkup = sizeof(markup) / sizeof(markup[0]) - 1;
    for (const Sample& s : Samples()) {
        for (uint32_t seed = 1; seed <= 1500; ++seed) {
            Random rnd(seed);
            std::wstring text = s.text;
            const uint32_t edits = 1 + rnd.Next(4);
            for (uint32_t e = 0; e < edits; ++e) {
                size_t at = rnd.Next(static_cast<uint32_t>(text.size() + 1));
                switch (rnd.Next(5)) {
                case 0:  // insert a markup unit
                    text.insert(at, 1, markup[rnd.Next(kMarkup)]);
                    break;
                case 1:  // delete a unit, preferably markup
                    if (!text.empty()) {
                        size_t found = text.find_first_of(L"<>/\"'", at);
                        size_t del = found != std::wstring::npos ? found : (at < text.size() ? at : 0);
                        text.erase(del, 1);
                    }
                    break;
                case 2:  // replace a unit with any code unit
                    if (at < text.size())
                        text[at] = static_cast<wchar_t>(rnd.Next(0x10000));
                    break;
                case 3: {  // duplicate a slice elsewhere
                    size_t from = rnd.Next(static_cast<uint32_t>(text.size() + 1));
                    size_t count = rnd.Next(40);
                    text.insert(at, text.substr(from, count));
                    break;
                }
                default:  // cut a slice
                    text.erase(at, rnd.Next(30));
                    break;
                }
            }
            Check(text, seed, s.name);
            if (HasFatalFailure())
                return;
        }
    }
}

TEST(XmlMutation, DeepNesting)
{
    const size_t depth = 100000;
    std::wstring open, close;
    for (size_t i = 0; i < depth; ++i) {
        open += L"<a>";
        close += L"</a>";
    }
    // Balanced: the innermost element is reachable at its depth.
    std::wstring balanced = open + L"x" + close;
    VLXmlDocument doc;
    GuardedText guarded(balanced, true);
    ASSERT_TRUE(doc.SetDocView(guarded.Text(), guarded.Length()));
    EXPECT_EQ(Exercise(doc), depth);
    doc.ResetPos();
    ASSERT_TRUE(doc.FindElem(L"//a[100000]"));
    EXPECT_EQ(std::wstring(doc.GetData().GetString()), L"x");
    EXPECT_EQ(doc.GetLevel(), static_cast<int>(depth));

    // Never ended: every element is cut back and the chain flattened.
    Check(open, 2, "unclosed");
    VLXmlDocument unclosed(open.c_str());
    EXPECT_EQ(unclosed.GetElementCount(), depth);
    unclosed.ResetPos();
    ASSERT_TRUE(unclosed.FindElem(L"a[100000]"));
    EXPECT_EQ(unclosed.GetLevel(), 1);

    // Lone end tags below deep nesting, and mis-nested pairs.
    std::wstring lone = open;
    for (size_t i = 0; i < depth; ++i)
        lone += L"</b>";
    Check(lone, 3, "lone end tags");
    std::wstring pairs;
    for (size_t i = 0; i < depth / 2; ++i)
        pairs += L"<a><b>";
    for (size_t i = 0; i < depth / 2; ++i)
        pairs += L"</a>";
    Check(pairs, 4, "mis-nested");
    VLXmlDocument mis(pairs.c_str());
    EXPECT_EQ(mis.GetElementCount(), depth);
    // Deep nesting of every other kind of markup.
    std::wstring mixed;
    for (size_t i = 0; i < depth / 4; ++i)
        mixed += L"<a x='1'><!--c--><![CDATA[d]]><?p?>";
    Check(mixed, 5, "mixed");
}

TEST(XmlMutation, HugeAttributeValues)
{
    const std::wstring value(10 * 1000 * 1000, L'v');
    struct Case {
        std::wstring text;
        bool wellFormed;
    };
    const Case cases[] = {
        {L"<r a=\"" + value + L"\" b='2'>t</r>", true},
        {L"<r a=" + value + L">t</r>", true},
        {L"<r a=\"" + value, false},
        {L"<r a='" + value + L"\">t</r>", false},
    };
    for (const Case& c : cases) {
        GuardedText guarded(c.text, true);
        VLXmlDocument doc;
        EXPECT_EQ(doc.SetDocView(guarded.Text(), guarded.Length()), c.wellFormed);
        Exercise(doc);
        doc.ResetPos();
        if (c.wellFormed) {
            ASSERT_TRUE(doc.FindElem(L"r"));
            EXPECT_EQ(doc.GetAttrib(L"a").GetLength(), static_cast<int>(value.size()));
            EXPECT_EQ(std::wstring(doc.GetData().GetString()), L"t");
        }
    }
}

TEST(XmlMutation, EveryCodeUnitInNames)
{
    for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
        const wchar_t c = static_cast<wchar_t>(unit);
        std::wstring text = L"<r><";
        text += c;
        text += L"n a='1'>t</";
        text += c;
        text += L"n><n";
        text += c;
        text += L" b='2'/></r>";
        GuardedText guarded(text, true);
        VLXmlDocument doc;
        doc.SetDocView(guarded.Text(), guarded.Length());
        ASSERT_EQ(Exercise(doc), doc.GetElementCount()) << unit;
        // A unit that may start a name keeps the first child intact.
        bool startsName = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L':' || c == L'_' ||
                          unit >= 0x7B;
        if (startsName) {
            doc.ResetPos();
            ASSERT_TRUE(doc.FindElem(L"/r/*")) << unit;
            VLString name = doc.GetTagName();
            ASSERT_EQ(name.GetLength(), 2) << unit;
            EXPECT_EQ(name.GetString()[0], c);
            EXPECT_EQ(std::wstring(doc.GetAttrib(L"a").GetString()), L"1") << unit;
            EXPECT_EQ(std::wstring(doc.GetData().GetString()), L"t") << unit;
        }
    }
}

}  // namespace
