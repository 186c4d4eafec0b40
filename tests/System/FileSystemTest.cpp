// File and folder operations against Wine's real file system: long paths
// through every operation, replacement that keeps the target, folder trees.

#include "SystemTestSupport.h"
#include "VLDirectoryFinder.h"
#include "VLFile.h"
#include "VLFileLister.h"
#include "VLMoveCopyDirectory.h"
#include "VLStringArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

// A folder path of more than 300 units below the scratch folder.
VLString DeepFolder(const ScratchFolder& scratch)
{
    VLString folder = scratch.Path();
    int level = 0;
    while (folder.GetLength() < 300)
        folder += VLString::Format(L"level %d with a long folder name to pass the limit\\", ++level);
    return folder;
}

std::set<std::wstring> ListAll(const VLString& folder)
{
    VLFileLister lister;
    lister.SetRecurse(true);
    lister.SetIncludeFolders(true);
    VLStringArray paths;
    lister.List(folder, paths);
    std::set<std::wstring> result;
    for (int i = 0; i < paths.GetCount(); ++i)
        result.insert(Std(paths[i]).substr(folder.GetLength()));
    return result;
}

TEST(FileSystemTest, LongPathsWorkThroughEveryOperation)
{
    ScratchFolder scratch(L"LongPath");
    VLString deep = DeepFolder(scratch);
    ASSERT_GE(deep.GetLength(), 300);

    ASSERT_TRUE(VLFileSystem::EnsureDirectory(deep, true));
    EXPECT_TRUE(VLFileSystem::DirectoryExists(deep));
    EXPECT_TRUE(VLFileSystem::DirectoryWriteTest(deep));

    VLString file = deep + L"file.txt";
    VLFile writer;
    ASSERT_TRUE(writer.Open(file, false, true, VLFile::kCreateAlways));
    ASSERT_TRUE(writer.Write("0123456789", 10));
    writer.Close();
    EXPECT_TRUE(VLFileSystem::FileExists(file));
    EXPECT_EQ(VLFileSystem::GetFileSize(file), 10);

    VLFile reader;
    ASSERT_TRUE(reader.Open(file, true, false));
    EXPECT_EQ(reader.GetSize(), 10);
    char buffer[4] = {};
    DWORD got = 0;
    ASSERT_TRUE(reader.Seek(6));
    ASSERT_TRUE(reader.Read(buffer, 4, &got));
    EXPECT_EQ(std::string(buffer, got), "6789");
    reader.Close();

    VLString copy = deep + L"copy.txt";
    EXPECT_TRUE(VLFileSystem::CopyFileTo(file, copy, false));
    EXPECT_FALSE(VLFileSystem::CopyFileTo(file, copy, false));  // no overwrite asked
    EXPECT_EQ(Std(VLFileSystem::MakeUniqueFileName(copy)), Std(deep) + L"copy (1).txt");
    ASSERT_TRUE(WriteTextFile(deep + L"new.txt", "new"));
    EXPECT_TRUE(VLFileSystem::SafeReplaceFile(copy, deep + L"new.txt"));
    EXPECT_EQ(ReadTextFile(copy), "new");
    EXPECT_TRUE(VLFileSystem::MoveFileTo(copy, deep + L"moved.txt"));
    EXPECT_TRUE(VLFileSystem::SetAttributes(deep + L"moved.txt", FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(VLFileSystem::GetAttributes(deep + L"moved.txt") & FILE_ATTRIBUTE_READONLY);

    ULONGLONG available = 0;
    EXPECT_TRUE(VLFileSystem::GetFreeSpace(deep, &available));
    EXPECT_GT(available, 0u);
    EXPECT_EQ(Std(VLPath::NormalizeFolder(deep)), Std(deep));

    VLDirectoryFinder finder(deep);
    std::set<std::wstring> names;
    while (finder.Next())
        names.insert(Std(finder.GetName()));
    EXPECT_EQ(names, (std::set<std::wstring>{L"file.txt", L"moved.txt"}));

    // Tree copy and move below the long path.
    VLString level1 = scratch / L"level 1 with a long folder name to pass the limit\\";
    VLString below = deep.Mid(level1.GetLength());
    VLString copied = scratch / L"copied\\";
    VLMoveCopyDirectory mover;
    ASSERT_TRUE(mover.Copy(level1, copied));
    EXPECT_EQ(ReadTextFile(copied + below + L"file.txt"), "0123456789");
    VLString movedTree = DeepFolder(scratch) + L"inner move\\";
    ASSERT_TRUE(mover.Move(copied, movedTree));
    EXPECT_FALSE(VLFileSystem::DirectoryExists(copied));
    EXPECT_FALSE(VLFileSystem::IsDirectoryEmpty(movedTree, true, false));

    EXPECT_TRUE(VLFileSystem::RemoveFile(file));
    EXPECT_FALSE(VLFileSystem::FileExists(file));
    EXPECT_EQ(VLFileSystem::GetFileSize(file), -1);

    VLStringArray deleted;
    EXPECT_TRUE(VLFileSystem::DeleteDirectoryTree(level1, &deleted));
    EXPECT_EQ(deleted.GetCount(), 3);  // moved.txt, and file.txt and moved.txt of the tree moved inside
    EXPECT_FALSE(VLFileSystem::DirectoryExists(deep));
}

TEST(FileSystemTest, SafeReplaceFileOntoALockedTargetKeepsItAndDropsTheNewFile)
{
    ScratchFolder scratch(L"SafeReplaceLocked");
    VLString target = scratch / L"target.dat";
    VLString incoming = scratch / L"incoming.dat";
    ASSERT_TRUE(WriteTextFile(target, "old"));
    ASSERT_TRUE(WriteTextFile(incoming, "new"));
    {
        // Open elsewhere without any sharing: it can be neither renamed nor replaced.
        VLUniqueFile lock(::CreateFileW(target, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock.IsValid());
        EXPECT_FALSE(VLFileSystem::SafeReplaceFile(target, incoming));
    }
    EXPECT_EQ(ReadTextFile(target), "old");
    EXPECT_FALSE(VLFileSystem::FileExists(incoming));
    EXPECT_FALSE(VLFileSystem::FileExists(scratch / L"target (1).dat"));
}

TEST(FileSystemTest, SafeReplaceFileMovesTheBackupBackWhenTheNewFileCannotMove)
{
    ScratchFolder scratch(L"SafeReplaceStuck");
    VLString target = scratch / L"target.dat";
    VLString incoming = scratch / L"incoming.dat";
    ASSERT_TRUE(WriteTextFile(target, "old"));
    ASSERT_TRUE(WriteTextFile(incoming, "new"));
    {
        VLUniqueFile lock(::CreateFileW(incoming, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock.IsValid());
        EXPECT_FALSE(VLFileSystem::SafeReplaceFile(target, incoming));
        EXPECT_EQ(ReadTextFile(target), "old");
        EXPECT_FALSE(VLFileSystem::FileExists(scratch / L"target (1).dat"));
    }
}

TEST(FileSystemTest, SafeReplaceFileCases)
{
    ScratchFolder scratch(L"SafeReplace");
    VLString target = scratch / L"target.dat";
    VLString incoming = scratch / L"incoming.dat";

    // No new file: fails, target untouched.
    ASSERT_TRUE(WriteTextFile(target, "old"));
    EXPECT_FALSE(VLFileSystem::SafeReplaceFile(target, incoming));
    EXPECT_EQ(ReadTextFile(target), "old");

    // Replacing a read-only target; no backup left behind.
    ASSERT_TRUE(VLFileSystem::SetAttributes(target, FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteTextFile(scratch / L"target (1).dat", "someone else's"));
    ASSERT_TRUE(WriteTextFile(incoming, "new"));
    EXPECT_TRUE(VLFileSystem::SafeReplaceFile(target, incoming));
    EXPECT_EQ(ReadTextFile(target), "new");
    EXPECT_FALSE(VLFileSystem::FileExists(incoming));
    EXPECT_EQ(ReadTextFile(scratch / L"target (1).dat"), "someone else's");
    EXPECT_FALSE(VLFileSystem::FileExists(scratch / L"target (2).dat"));

    // No target yet: the new file is moved in.
    VLString fresh = scratch / L"fresh.dat";
    ASSERT_TRUE(WriteTextFile(incoming, "first"));
    EXPECT_TRUE(VLFileSystem::SafeReplaceFile(fresh, incoming));
    EXPECT_EQ(ReadTextFile(fresh), "first");
}

TEST(FileSystemTest, MakeUniqueFileName)
{
    ScratchFolder scratch(L"Unique");
    EXPECT_EQ(Std(VLFileSystem::MakeUniqueFileName(scratch / L"report.txt")), Std(scratch / L"report.txt"));
    ASSERT_TRUE(WriteTextFile(scratch / L"report.txt", "x"));
    ASSERT_TRUE(WriteTextFile(scratch / L"report (1).txt", "x"));
    EXPECT_EQ(Std(VLFileSystem::MakeUniqueFileName(scratch / L"report.txt")), Std(scratch / L"report (2).txt"));
    ASSERT_TRUE(WriteTextFile(scratch / L"noext", "x"));
    EXPECT_EQ(Std(VLFileSystem::MakeUniqueFileName(scratch / L"noext")), Std(scratch / L"noext (1)"));
    // The dot of a folder name is not an extension.
    ASSERT_TRUE(VLFileSystem::EnsureDirectory(scratch / L"v1.2"));
    ASSERT_TRUE(WriteTextFile(scratch / L"v1.2\\data", "x"));
    EXPECT_EQ(Std(VLFileSystem::MakeUniqueFileName(scratch / L"v1.2\\data")), Std(scratch / L"v1.2\\data (1)"));
}

TEST(FileSystemTest, GetFreeSpaceOfAFolderNotYetCreatedMeasuresItsNearestParent)
{
    ScratchFolder scratch(L"FreeSpace");
    ULONGLONG available = 0, total = 0, free = 0;
    ULONGLONG parentAvailable = 0, parentTotal = 0;
    ASSERT_TRUE(VLFileSystem::GetFreeSpace(scratch.Path(), &parentAvailable, &parentTotal));
    EXPECT_TRUE(VLFileSystem::GetFreeSpace(scratch / L"not\\yet\\created", &available, &total, &free));
    EXPECT_EQ(total, parentTotal);
    EXPECT_GT(available, 0u);
    EXPECT_GE(free, available);
    EXPECT_TRUE(VLFileSystem::GetFreeSpace(L"C", &available));   // one letter: a drive

    available = total = free = 7;
    EXPECT_FALSE(VLFileSystem::GetFreeSpace(L"Q:\\nothing\\here", &available, &total, &free));
    EXPECT_EQ(available + total + free, 0u);
}

TEST(FileSystemTest, EnsureDirectory)
{
    ScratchFolder scratch(L"Ensure");
    EXPECT_FALSE(VLFileSystem::EnsureDirectory(L""));
    EXPECT_FALSE(VLFileSystem::EnsureDirectory(L"relative\\folder"));
    EXPECT_TRUE(VLFileSystem::EnsureDirectory(scratch / L"a\\b\\c", true));
    EXPECT_TRUE(VLFileSystem::DirectoryExists(scratch / L"a\\b\\c\\"));
    // A file in the way stops the walk.
    ASSERT_TRUE(WriteTextFile(scratch / L"blocker", "x"));
    EXPECT_FALSE(VLFileSystem::EnsureDirectory(scratch / L"blocker\\inner"));
    EXPECT_FALSE(VLFileSystem::DirectoryExists(scratch / L"blocker\\inner"));
}

TEST(FileSystemTest, EmptyFoldersAndTheirRemoval)
{
    ScratchFolder scratch(L"Empty");
    VLString root = scratch / L"root\\";
    ASSERT_TRUE(VLFileSystem::EnsureDirectory(root + L"sub\\deeper"));
    ASSERT_TRUE(WriteTextFile(root + L"Thumbs.db", "x"));
    ASSERT_TRUE(WriteTextFile(root + L"sub\\deeper\\THUMBS.DB", "x"));

    EXPECT_TRUE(VLFileSystem::IsDirectoryEmpty(root, false, false));   // sub-folders ignored
    EXPECT_FALSE(VLFileSystem::IsDirectoryEmpty(root, false, true));   // any sub-folder counts
    EXPECT_TRUE(VLFileSystem::IsDirectoryEmpty(root, true, false));    // only Thumbs.db all the way down
    ASSERT_TRUE(WriteTextFile(root + L"sub\\deeper\\song.mp3", "x"));
    EXPECT_FALSE(VLFileSystem::IsDirectoryEmpty(root, true, false));
    EXPECT_TRUE(VLFileSystem::IsDirectoryEmpty(root, false, false));

    // RemoveEmptyFolders climbs while empty and stops at the first folder with content.
    ASSERT_TRUE(WriteTextFile(scratch / L"keep.txt", "x"));
    ASSERT_TRUE(VLFileSystem::RemoveFile(root + L"sub\\deeper\\song.mp3"));
    VLFileSystem::RemoveEmptyFolders(root + L"sub\\deeper\\");
    EXPECT_FALSE(VLFileSystem::DirectoryExists(root));
    EXPECT_TRUE(VLFileSystem::DirectoryExists(scratch.Path()));
    EXPECT_TRUE(VLFileSystem::FileExists(scratch / L"keep.txt"));
}

TEST(FileSystemTest, DeleteDirectoryTreeRemovesReadOnlyContentAndListsFiles)
{
    ScratchFolder scratch(L"DeleteTree");
    VLString root = scratch / L"tree\\";
    ASSERT_TRUE(VLFileSystem::EnsureDirectory(root + L"ro folder\\x"));
    ASSERT_TRUE(WriteTextFile(root + L"a.txt", "x"));
    ASSERT_TRUE(WriteTextFile(root + L"ro folder\\x\\b.txt", "x"));
    ASSERT_TRUE(VLFileSystem::SetAttributes(root + L"ro folder\\x\\b.txt", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(VLFileSystem::SetAttributes(root + L"ro folder", FILE_ATTRIBUTE_READONLY));
    VLStringArray deleted;
    EXPECT_TRUE(VLFileSystem::DeleteDirectoryTree(root, &deleted));
    EXPECT_FALSE(VLFileSystem::DirectoryExists(root));
    EXPECT_EQ(deleted.GetCount(), 2);
    EXPECT_GE(deleted.Find(root + L"ro folder\\x\\b.txt"), 0);
    // A missing folder is "gone" already.
    EXPECT_TRUE(VLFileSystem::DeleteDirectoryTree(root));
}

TEST(FileSystemTest, CopyAndMoveATreeWithReadOnlyFiles)
{
    ScratchFolder scratch(L"MoveCopy");
    VLString source = scratch / L"source\\";
    ASSERT_TRUE(VLFileSystem::EnsureDirectory(source + L"sub\\deep"));
    ASSERT_TRUE(VLFileSystem::EnsureDirectory(source + L"empty"));
    ASSERT_TRUE(WriteTextFile(source + L"top.txt", "top"));
    ASSERT_TRUE(WriteTextFile(source + L"sub\\ro.txt", "read-only"));
    ASSERT_TRUE(WriteTextFile(source + L"sub\\deep\\d.txt", "deep"));
    ASSERT_TRUE(VLFileSystem::SetAttributes(source + L"sub\\ro.txt", FILE_ATTRIBUTE_READONLY));
    const std::set<std::wstring> tree = {L"top.txt", L"sub\\", L"sub\\ro.txt", L"sub\\deep\\",
                                         L"sub\\deep\\d.txt", L"empty\\"};
    ASSERT_EQ(ListAll(source), tree);

    VLMoveCopyDirectory copier;
    VLString copy = scratch / L"copy";
    ASSERT_TRUE(copier.Copy(source, copy));
    EXPECT_EQ(ListAll(copy + L"\\"), tree);
    EXPECT_EQ(ReadTextFile(copy + L"\\sub\\ro.txt"), "read-only");
    EXPECT_TRUE(VLFileSystem::GetAttributes(copy + L"\\sub\\ro.txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ListAll(source), tree);
    // Copying again overwrites, read-only destination included.
    ASSERT_TRUE(WriteTextFile(source + L"top.txt", "top v2"));
    ASSERT_TRUE(copier.Copy(source, copy));
    EXPECT_EQ(ReadTextFile(copy + L"\\top.txt"), "top v2");

    VLString moved = scratch / L"moved\\";
    ASSERT_TRUE(copier.Move(source, moved));
    EXPECT_EQ(ListAll(moved), tree);
    EXPECT_FALSE(VLFileSystem::DirectoryExists(source));
    EXPECT_TRUE(VLFileSystem::DirectoryExists(scratch.Path()));  // the move tidies only its own tree
}

TEST(FileSystemTest, MoveKeepsEverySourceWhoseCopyFailed)
{
    ScratchFolder scratch(L"MovePartial");
    VLString source = scratch / L"source\\";
    VLString target = scratch / L"target\\";
    ASSERT_TRUE(VLFileSystem::EnsureDirectory(source + L"sub"));
    ASSERT_TRUE(WriteTextFile(source + L"ok.txt", "ok"));
    ASSERT_TRUE(WriteTextFile(source + L"sub\\busy.txt", "new busy"));
    ASSERT_TRUE(WriteTextFile(source + L"sub\\free.txt", "free"));
    ASSERT_TRUE(VLFileSystem::EnsureDirectory(target + L"sub"));
    ASSERT_TRUE(WriteTextFile(target + L"sub\\busy.txt", "old busy"));

    VLMoveCopyDirectory mover;
    {
        VLString busy = target + L"sub\\busy.txt";
        VLUniqueFile lock(::CreateFileW(busy, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock.IsValid());
        EXPECT_FALSE(mover.Move(source, target));
    }
    EXPECT_EQ(ReadTextFile(source + L"sub\\busy.txt"), "new busy");
    EXPECT_EQ(ReadTextFile(target + L"sub\\busy.txt"), "old busy");
    EXPECT_FALSE(VLFileSystem::FileExists(source + L"ok.txt"));
    EXPECT_FALSE(VLFileSystem::FileExists(source + L"sub\\free.txt"));
    EXPECT_EQ(ReadTextFile(target + L"sub\\free.txt"), "free");
    int failed = 0;
    for (const VLMoveCopyDirectory::Item& item : mover.GetItems())
        failed += item.succeeded ? 0 : 1;
    EXPECT_EQ(failed, 1);
}

TEST(FileSystemTest, FileListerSettings)
{
    ScratchFolder scratch(L"Lister");
    ASSERT_TRUE(VLFileSystem::EnsureDirectory(scratch / L"sub"));
    ASSERT_TRUE(WriteTextFile(scratch / L"a.MP3", "x"));
    ASSERT_TRUE(WriteTextFile(scratch / L"b.txt", "x"));
    ASSERT_TRUE(WriteTextFile(scratch / L"noext", "x"));
    ASSERT_TRUE(WriteTextFile(scratch / L"sub\\c.mp3", "x"));
    ASSERT_TRUE(WriteTextFile(scratch / L"sub\\hidden.mp3", "x"));
    ASSERT_TRUE(VLFileSystem::SetAttributes(scratch / L"sub\\hidden.mp3", FILE_ATTRIBUTE_HIDDEN));

    auto list = [&](const VLFileLister& lister) {
        VLStringArray paths;
        int added = lister.List(scratch.Path(), paths);
        EXPECT_EQ(added, paths.GetCount());
        std::set<std::wstring> names;
        for (int i = 0; i < paths.GetCount(); ++i)
            names.insert(Std(paths[i]).substr(scratch.Path().GetLength()));
        return names;
    };
    VLFileLister lister;
    EXPECT_EQ(list(lister), (std::set<std::wstring>{L"a.MP3", L"b.txt", L"noext"}));
    lister.SetRecurse(true);
    lister.SetSkipAttributes(FILE_ATTRIBUTE_HIDDEN);
    VLStringArray extensions;
    extensions.Add(L"mp3");
    lister.SetExtensions(extensions);
    EXPECT_EQ(list(lister), (std::set<std::wstring>{L"a.MP3", L"sub\\c.mp3"}));
    lister.SetIncludeFiles(false);
    lister.SetIncludeFolders(true);
    EXPECT_EQ(list(lister), (std::set<std::wstring>{L"sub\\"}));
}

TEST(FileSystemTest, DirectoryFinderGivesPathsNamesSizesAndSkipsDotFolders)
{
    ScratchFolder scratch(L"Finder");
    ASSERT_TRUE(VLFileSystem::EnsureDirectory(scratch / L".hidden folder"));
    ASSERT_TRUE(VLFileSystem::EnsureDirectory(scratch / L"folder"));
    ASSERT_TRUE(WriteTextFile(scratch / L".dotfile", "12345"));
    VLDirectoryFinder finder(scratch.Path());
    std::set<std::wstring> seen;
    while (finder.Next()) {
        seen.insert(Std(finder.GetPath()));
        if (!finder.IsFolder()) {
            EXPECT_EQ(finder.GetSize(), 5u);
        }
    }
    EXPECT_EQ(seen, (std::set<std::wstring>{Std(scratch / L"folder\\"), Std(scratch / L".dotfile")}));
    VLDirectoryFinder missing(scratch / L"missing");
    EXPECT_FALSE(missing.Next());
}

TEST(FileSystemTest, DirectoryWriteTestAndFileWrapperModes)
{
    ScratchFolder scratch(L"Wrapper");
    EXPECT_TRUE(VLFileSystem::DirectoryWriteTest(scratch.Path()));
    EXPECT_FALSE(VLFileSystem::DirectoryWriteTest(scratch / L"missing\\"));
    VLString path = scratch / L"modes.bin";
    VLFile file;
    EXPECT_FALSE(file.Open(path, true, false));                          // open existing: missing
    EXPECT_FALSE(file.Open(path, true, true, VLFile::kTruncateExisting));
    EXPECT_TRUE(file.Open(path, true, true, VLFile::kCreateNew));
    EXPECT_TRUE(file.Write("abc", 3));
    file.Close();
    EXPECT_FALSE(file.Open(path, true, true, VLFile::kCreateNew));       // exists now
    EXPECT_TRUE(file.Open(path, true, true, VLFile::kOpenAlways));
    EXPECT_EQ(file.GetSize(), 3);
    EXPECT_TRUE(file.Open(path, true, true, VLFile::kTruncateExisting));
    EXPECT_EQ(file.GetSize(), 0);
    file.Close();
    // Delete-on-close.
    EXPECT_TRUE(file.Open(path, true, true, VLFile::kOpenExisting, VLFile::kShareRead | VLFile::kShareDelete,
                          VLFile::kDeleteOnClose));
    file.Close();
    EXPECT_FALSE(VLFileSystem::FileExists(path));
}

}  // namespace

namespace {

LONGLONG FakeRemoteSize(const VLString& url)
{
    return url.GetLength();
}

TEST(FileSystemRemoteTest, AddressesAreSizedByTheRemoteQuery)
{
    const wchar_t url[] = L"http://host/file.bin";
    EXPECT_EQ(VLFileSystem::GetFileSize(url), -1);
    VLFileSystem::SetRemoteSizeQuery(FakeRemoteSize);
    EXPECT_EQ(VLFileSystem::GetFileSize(url), static_cast<LONGLONG>(wcslen(url)));
    // "file://" addresses are local files.
    EXPECT_EQ(VLFileSystem::GetFileSize(L"file:///C:/no/such/file.bin"), -1);
    VLFileSystem::SetRemoteSizeQuery(nullptr);
    EXPECT_EQ(VLFileSystem::GetFileSize(url), -1);
}

}  // namespace
