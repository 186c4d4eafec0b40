// The command line: splitting the tail, joining for the switch parser, and
// the switches, each as a table of cases.
#include "InstallCommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Split(const wchar_t* tail)
{
    VLStringArray arguments;
    SplitCommandLine(tail, arguments);
    std::vector<std::wstring> result;
    for (int i = 0; i < arguments.GetCount(); ++i)
        result.emplace_back(arguments[i].GetString());
    return result;
}

std::string Narrow(const std::wstring& text)
{
    return VLString(text.c_str()).ToUtf8();
}

}  // namespace

TEST(CommandLine, SplitsTheTailIntoArguments)
{
    struct Case {
        const wchar_t* tail;
        std::vector<std::wstring> want;
    };
    const Case cases[] = {
        {L"", {}},
        {L"   ", {}},
        {L"a b  c", {L"a", L"b", L"c"}},
        {L"\"a b\" c", {L"a b", L"c"}},
        {L"\"\"", {L""}},                       // an empty pair is an argument
        {L"\"\" \"\"", {L"", L""}},
        {L"x\"a b\"", {L"xa b"}},               // text before the quote joins the quoted text
        {L"\"a\"b", {L"a", L"b"}},              // the closing quote ends the argument
        {L"a\\\"b", {L"a\\\"b"}},               // odd backslashes: the quote and backslash stay
        {L"a\\\\\"b c\"", {L"a\\\\b c"}},       // even backslashes: the quote toggles
        {L"\"abc", {L"abc"}},                   // unterminated quote
        {L"/DistributorID \"X Y\" /Silent", {L"/DistributorID", L"X Y", L"/Silent"}},
        {L"'it s'", {L"'it", L"s'"}},           // apostrophes do not quote
    };
    for (const Case& c : cases)
        EXPECT_EQ(Split(c.tail), c.want) << "tail: " << Narrow(c.tail);
}

TEST(CommandLine, JoinsArgumentsForTheSwitchParser)
{
    struct Case {
        std::vector<const wchar_t*> arguments;
        const wchar_t* want;
    };
    const Case cases[] = {
        {{}, L""},
        {{L"a", L"b"}, L"a b"},
        {{L"a b"}, L"\"a b\""},
        {{L""}, L"\"\""},
        {{L"it's"}, L"\"it's\""},
        {{L"x\"y"}, L"x\\\"y"},
        {{L"say \"hi\""}, L"\"say \\\"hi\\\"\""},
        {{L"/Silent", L"C:\\Program Files\\X"}, L"/Silent \"C:\\Program Files\\X\""},
    };
    for (const Case& c : cases) {
        VLStringArray arguments;
        for (const wchar_t* a : c.arguments)
            arguments.Add(a);
        EXPECT_EQ(std::wstring(JoinCommandLine(arguments).GetString()), std::wstring(c.want)) << Narrow(c.want);
    }
}

TEST(CommandLine, ParsesSwitchesByCaseInsensitivePrefixInOrder)
{
    struct Case {
        const wchar_t* tail;  // as Setup.exe receives it
        const char* flags;    // S U A D G R V: Silent Upgrade NoAssociations NoDependencies NoUpgrade NoRun NoDriver
        const wchar_t* distributor;
    };
    const Case cases[] = {
        {L"", "", L""},
        {L"/silent /noRUN", "SR", L""},
        {L"/SilentMode", "S", L""},
        {L"/SILENT ", "S", L""},
        {L"/DistributorID ACME", "", L"ACME"},
        {L"/DistributorIDACME", "", L"ACME"},
        {L"/DistributorID=ACME", "", L"=ACME"},
        {L"/NoUpgradeNow", "G", L""},
        {L"/DistributorID A/B", "", L"A"},           // "/" cuts the value; "B" matches nothing
        {L"extra /Silent", "S", L""},                // text before the first "/" is ignored
        {L"Silent", "", L""},
        {L"/Upgrade please", "U", L""},
        {L"/NoAssociations /NoDependencies /NoDriver", "ADV", L""},
        {L"/noassociationsX /NoDriverx /NoRunning", "AVR", L""},
        {L"/No /Silen /x", "", L""},
        {L"/DistributorID A /DistributorID B", "", L"B"},  // the later one wins
        {L"/Silent /Silent", "S", L""},
        // A quoted value keeps the closing quote of the joined text.
        {L"/DistributorID \"X Y\"", "", L"\"X Y\""},
    };
    for (const Case& c : cases) {
        VLStringArray arguments;
        SplitCommandLine(c.tail, arguments);
        InstallOptionsData options;
        ParseSwitches(JoinCommandLine(arguments), options);
        const std::string flags = c.flags;
        auto has = [&](char f) { return flags.find(f) != std::string::npos; };
        const std::string where = "tail: " + Narrow(c.tail);
        EXPECT_EQ(options.Silent, has('S')) << where;
        EXPECT_EQ(options.Upgrade, has('U')) << where;
        EXPECT_EQ(options.NoAssociations, has('A')) << where;
        EXPECT_EQ(options.NoDependencies, has('D')) << where;
        EXPECT_EQ(options.NoUpgrade, has('G')) << where;
        EXPECT_EQ(options.NoRun, has('R')) << where;
        EXPECT_EQ(options.NoDriver, has('V')) << where;
        EXPECT_EQ(std::wstring(options.DistributorID.GetString()), std::wstring(c.distributor)) << where;
        // Fields the command line never touches keep their defaults.
        EXPECT_FALSE(options.Express) << where;
        EXPECT_TRUE(options.AllowDowngrade) << where;
    }
}
