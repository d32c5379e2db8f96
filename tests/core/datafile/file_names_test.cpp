#include "core/datafile/file_names.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/base/win1252.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir_test.h"

namespace veltrix {
namespace {

using namespace veltrix::literals;
using namespace std::string_literals;

TEST(FileNames, ChangeExtensionCutsAtTheLastDotOfTheFileName) {
  struct Case {
    std::string name, extension, expected;
  };
  const Case cases[] = {
      {"a.dt1", "prm", "a.prm"},
      {"/data/a.dt1", "prm", "/data/a.prm"},
      {"a.b.dt1", "prm", "a.b.prm"},                  // only the last dot
      {"a.dt1", "", "a"},                             // empty extension: no dot appended
      {"a", "txt", "a.txt"},                          // no dot: the whole name is kept
      {"/data.v2/file", "prm", "/data.v2/file.prm"},  // a dot of a directory does not count
      {"/data.v2/file.dt1", "prm", "/data.v2/file.prm"},
      {"rel.d/x", "", "rel.d/x"},
      {"a.", "x", "a.x"},
      {"FILE.DT1", "prm", "FILE.prm"},  // case kept
      {"", "txt", ".txt"},
      {"/work/x.$$a", "$$b", "/work/x.$$b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + " + " + c.extension);
    EXPECT_EQ(ChangeExtension(c.name, c.extension), c.expected);
  }
}

TEST(FileNames, JoinPathAddsOneSlashAndKeepsAbsoluteNames) {
  struct Case {
    std::string directory, name, expected;
  };
  const Case cases[] = {
      {"/data", "a.dt1", "/data/a.dt1"},
      {"/data/", "a.dt1", "/data/a.dt1"},  // no second slash
      {"/", "a.dt1", "/a.dt1"},
      {"rel", "a.dt1", "rel/a.dt1"},
      {"", "a.dt1", "a.dt1"},                     // empty directory
      {"/data", "/other/a.dt1", "/other/a.dt1"},  // absolute name ignores the directory
      {"/data", "sub/a.dt1", "/data/sub/a.dt1"},
      {"/data", "", "/data/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.directory + " + " + c.name);
    EXPECT_EQ(JoinPath(c.directory, c.name), c.expected);
  }
}

TEST(FileNames, StatisticsFileNamesAndTheirBackupsGoByTheFileNamesExtensionInAnyCase) {
  struct Case {
    std::string name;
    bool statistics;
    std::string backup;  // the name itself when it is no statistics file
  };
  const Case cases[] = {
      {"studie.dt1", true, "studie.db1"},
      {"STUDIE.DT1", true, "STUDIE.DB1"},  // the case of each letter is kept
      {"x.Dt", true, "x.Db"},
      {"x.dT7", true, "x.dB7"},
      {"/data/x.dtd/studie.dt1", true, "/data/x.dtd/studie.db1"},  // the directory is not touched
      {"a.dt1.dt2", true, "a.dt1.db2"},                            // only the last extension
      {"d.dtx/notes.txt", false, "d.dtx/notes.txt"},               // ".dt" in a directory only
      {"studie.txt", false, "studie.txt"},
      {"studie.d", false, "studie.d"},
      {"studie", false, "studie"},
      {"dt1", false, "dt1"},
      {"", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsStatisticsFileName(c.name), c.statistics);
    EXPECT_EQ(BackupFileName(c.name), c.backup);
  }
}

class FileNamesTest : public test::TempDirTest {
 protected:
  FileNamesTest() : TempDirTest("veltrix-file-names") {}
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir))
      names.push_back(entry.path().filename().string());
    return names;
  }
};

TEST_F(FileNamesTest, DirectoriesExistAndAreNormalised) {
  const std::string dir = m_dir.string();
  const std::string file = path("plain.txt");
  writeBytes(file, "x");
  struct Case {
    std::string directory;
    bool exists;
    std::string normalised;
  };
  const Case cases[] = {
      {"", true, ""},    // the current directory
      {"/", true, "/"},  // the root keeps its slash
      {dir, true, dir},
      {dir + "/", true, dir},
      {dir + "/missing", false, ""},
      {dir + "/missing/", false, ""},
      {file, false, ""},  // a regular file is no directory
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.directory);
    EXPECT_EQ(DirectoryExists(c.directory), c.exists);
    EXPECT_EQ(NormaliseDirectory(c.directory), c.normalised);
  }
  EXPECT_EQ(NormaliseDirectory(dir + "//"), dir + "/") << "only one slash is removed";
}

TEST_F(FileNamesTest, ACompanionFileIsFoundWhateverItsCase) {
  const std::string derived = path("studie.prm");
  EXPECT_EQ(FindCaseVariant(derived), derived);  // nothing there: the derived name
  writeBytes(path("STUDIE.PRM"), "x");
  writeBytes(path("Studie.Prm"), "x");
  EXPECT_EQ(FindCaseVariant(derived), path("STUDIE.PRM"));  // the first in byte order
  writeBytes(derived, "x");
  EXPECT_EQ(FindCaseVariant(derived), derived);  // an exact match wins
  EXPECT_EQ(FindCaseVariant(path("missing/studie.prm")), path("missing/studie.prm"));
  // A dangling link of the exact name exists as a name: nothing else is picked in its place.
  ::symlink("nowhere", path("b.prm").c_str());
  writeBytes(path("B.PRM"), "x");
  EXPECT_EQ(FindCaseVariant(path("b.prm")), path("b.prm"));
}

TEST_F(FileNamesTest, CompanionNamesFollowTheCaseOfTheirFiles) {
  EXPECT_EQ(CompanionFileName("/d/STUDIE.PRM", "prb"), "/d/STUDIE.PRB");
  EXPECT_EQ(CompanionFileName("/d/studie.prm", "prb"), "/d/studie.prb");
  EXPECT_EQ(CompanionFileName("/d/Studie.Prm", "pr$"), "/d/Studie.pr$");
  EXPECT_EQ(CompanionFileName("/D/x.DT1", "prm"), "/D/x.PRM");
  EXPECT_EQ(CompanionFileName("/d/x.123", "prm"), "/d/x.prm") << "no letters: as given";
  EXPECT_EQ(CompanionFileName("/D.X/y", "prm"), "/D.X/y.prm") << "no extension: as given";

  EXPECT_EQ(ParameterFileName(path("studie.dt1")), path("studie.prm")) << "nothing there: the derived name";
  EXPECT_EQ(ParameterFileName(path("NEU.DT1")), path("NEU.PRM"));
  writeBytes(path("STUDIE.PRM"), "x");
  EXPECT_EQ(ParameterFileName(path("studie.dt1")), path("STUDIE.PRM"));
  EXPECT_EQ(ParameterFileName(path("STUDIE.DT2")), path("STUDIE.PRM"));
}

TEST_F(FileNamesTest, ProbingANameNeverThrowsOrBlocks) {
  writeBytes(path("file.dt1"), "12345");
  writeBytes(path("empty.dt1"), "");
  std::filesystem::create_directory(path("dir.dt1"));
  ASSERT_EQ(::mkfifo(path("pipe.dt1").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("self.dt1", path("self.dt1").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere.dt1", path("dangling.dt1").c_str()), 0);
  ASSERT_EQ(::symlink("file.dt1", path("link.dt1").c_str()), 0);
  struct Case {
    std::string name;
    EntryKind kind;
    std::int64_t size;
    int error;
  };
  const Case cases[] = {
      {path("file.dt1"), EntryKind::RegularFile, 5, 0},
      {path("empty.dt1"), EntryKind::RegularFile, 0, 0},
      {path("link.dt1"), EntryKind::RegularFile, 5, 0},
      {path("dir.dt1"), EntryKind::Directory, 0, 0},
      {path("pipe.dt1"), EntryKind::Other, 0, 0},
      {path("missing.dt1"), EntryKind::Missing, 0, ENOENT},
      {path("dangling.dt1"), EntryKind::Missing, 0, ENOENT},
      {path("file.dt1/x.dt1"), EntryKind::Missing, 0, ENOTDIR},
      {path("self.dt1"), EntryKind::Unusable, 0, ELOOP},
      {path(std::string(300, 'l') + ".dt1"), EntryKind::Unusable, 0, ENAMETOOLONG},
      {path("a") + "\0b"s, EntryKind::Unusable, 0, EINVAL},
      {"", EntryKind::Unusable, 0, ENOENT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name.substr(0, 80));
    const FileProbe probe = ProbeFile(c.name);
    EXPECT_EQ(probe.kind, c.kind);
    EXPECT_EQ(probe.size, c.size);
    EXPECT_EQ(probe.error, c.error);
  }
  // Tests run as root, who may search any directory, so "Permission denied" cannot be produced here;
  // it takes the same path as the link loop (stat fails with an errno other than ENOENT).
}

TEST_F(FileNamesTest, ANewEmptyFileIsCreatedOnlyWhereNothingStands) {
  EXPECT_TRUE(CreateNewEmptyFile(path("new.dt1")));
  EXPECT_EQ(FileSize(path("new.dt1")), 0);
  writeBytes(path("victim.txt"), "keep");
  ASSERT_EQ(::symlink("victim.txt", path("link.dt1").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere.txt", path("dangling.dt1").c_str()), 0);
  for (const char* taken : {"new.dt1", "link.dt1", "dangling.dt1", "victim.txt"}) {
    SCOPED_TRACE(taken);
    EXPECT_FALSE(CreateNewEmptyFile(path(taken)));
  }
  EXPECT_EQ(readBytes(path("victim.txt")), "keep");
  EXPECT_FALSE(std::filesystem::exists(path("nowhere.txt"))) << "a dangling link is not followed";
  EXPECT_FALSE(CreateNewEmptyFile(path("missing/x.dt1")));
}

TEST_F(FileNamesTest, CreateCheckAndDeleteFiles) {
  const std::string name = path("new.dt1");
  const std::string underFile = path("new.dt1/x");

  EXPECT_TRUE(CanCreateFile(name));
  EXPECT_FALSE(std::filesystem::exists(name)) << "the probe is deleted again";
  EXPECT_TRUE(CreateEmptyFile(name));
  EXPECT_TRUE(std::filesystem::exists(name));

  writeBytes(name, "content");
  EXPECT_TRUE(CanCreateFile(name)) << "an existing file";
  EXPECT_EQ(readBytes(name), "content") << "and it is left alone";
  EXPECT_TRUE(CreateEmptyFile(name));
  EXPECT_EQ(FileSize(name), 0) << "an existing file is replaced by an empty one";

  EXPECT_FALSE(CanCreateFile(underFile));
  EXPECT_FALSE(CreateEmptyFile(underFile));
  EXPECT_FALSE(CanCreateFile(m_dir.string())) << "a directory is no file";
  EXPECT_FALSE(CreateEmptyFile(m_dir.string()));
  ASSERT_EQ(::mkfifo(path("pipe.dt1").c_str(), 0600), 0);
  EXPECT_FALSE(CreateEmptyFile(path("pipe.dt1"))) << "a named pipe is no file, and it does not block";
  ASSERT_EQ(::unlink(path("pipe.dt1").c_str()), 0);

  EXPECT_TRUE(DeleteFile(name));
  EXPECT_FALSE(std::filesystem::exists(name));
  EXPECT_FALSE(DeleteFile(name));
  EXPECT_FALSE(DeleteFile(m_dir.string())) << "directories are not deleted";
  EXPECT_TRUE(std::filesystem::exists(m_dir));
}

TEST_F(FileNamesTest, FileSizeIsSixtyFourBitAndZeroWithoutAFile) {
  const std::string name = path("data.bin");
  writeBytes(name, "12345");
  EXPECT_EQ(FileSize(name), 5);
  EXPECT_EQ(FileSize(path("missing")), 0);
  EXPECT_EQ(FileSize(m_dir.string()), 0);

  const std::string big = path("sparse.bin");
  writeBytes(big, "");
  std::error_code ec;
  std::filesystem::resize_file(big, std::uintmax_t{5} << 30, ec);
  ASSERT_FALSE(ec) << "a sparse file of 5 GiB: " << ec.message();
  EXPECT_EQ(FileSize(big), 5'368'709'120) << "5 * 2^30, beyond 32 bits";
}

TEST_F(FileNamesTest, FileDateReadsAndSetsTheModificationTime) {
  const std::string name = path("dated.txt");
  writeBytes(name, "x");
  const FileTime dates[] = {
      1'000'000'000'123'456'789,  // 2001-09-09 01:46:40.123456789 UTC, nanoseconds kept
      -1'500'000'000,             // 1969-12-31 23:59:58.5 UTC, before the epoch
      4'102'444'800'000'000'000,  // 2100-01-01 00:00 UTC, beyond 32-bit seconds
  };
  for (const FileTime date : dates) {
    SCOPED_TRACE(date);
    ASSERT_TRUE(SetFileDate(name, date));
    EXPECT_EQ(FileDate(name), date);
  }
  EXPECT_EQ(FileDate(path("missing")), 0);
  EXPECT_FALSE(SetFileDate(path("missing"), dates[0]));
}

TEST_F(FileNamesTest, ReadFirstLineTakesAtMost255BytesUpToTheFirstCr) {
  struct Case {
    const char* what;
    std::string content, expected;
  };
  const Case cases[] = {
      {"CR LF ends the line", "/data/path\r\nsecond\r\n", "/data/path"},
      {"line feeds are removed, not ends", "a\nb\nc", "abc"},
      {"LF before CR", "ab\n\rcd", "ab"},
      {"no line end", "only", "only"},
      {"empty file", "", ""},
      {"NUL bytes are kept", "a\0b\r\n"s, "a\0b"s},
      {"only 255 bytes are read", std::string(300, 'x') + "\r\n", std::string(255, 'x')},
      {"the 255 bytes count line feeds too", std::string(254, '\n') + "xy", "x"},
  };
  const std::string name = path("first.txt");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeBytes(name, c.content);
    EXPECT_EQ(ReadFirstLine(name), c.expected);
  }
  EXPECT_EQ(ReadFirstLine(path("missing")), "");
  EXPECT_EQ(ReadFirstLine(m_dir.string()), "");
  ASSERT_EQ(::mkfifo(path("pipe.fil").c_str(), 0600), 0);
  EXPECT_EQ(ReadFirstLine(path("pipe.fil")), "") << "a named pipe is no file and does not block";
  EXPECT_EQ(FileSize(path("pipe.fil")), 0);
}

TEST_F(FileNamesTest, WriteLineFileReplacesTheFileWhole) {
  const std::string name = path("veltrix.pth");
  writeBytes(name, std::string(1000, 'o'));
  ASSERT_EQ(::chmod(name.c_str(), 0640), 0);

  EXPECT_TRUE(WriteLineFile(name, "/data/stat"));
  EXPECT_EQ(readBytes(name), "/data/stat\r\n");
  EXPECT_EQ(ReadFirstLine(name), "/data/stat");
  struct stat info {};
  ASSERT_EQ(::stat(name.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u) << "the replaced file keeps its permissions";

  EXPECT_TRUE(WriteLineFile(path("fresh.fil"), ""));
  EXPECT_EQ(readBytes(path("fresh.fil")), "\r\n");

  // A companion file kept elsewhere through a symbolic link stays a link; the file behind it changes.
  writeBytes(path("elsewhere.txt"), "old\r\n");
  ASSERT_EQ(::symlink("elsewhere.txt", path("linked.fil").c_str()), 0);
  EXPECT_TRUE(WriteLineFile(path("linked.fil"), "/data/neu.dt1"));
  EXPECT_TRUE(std::filesystem::is_symlink(path("linked.fil")));
  EXPECT_EQ(readBytes(path("elsewhere.txt")), "/data/neu.dt1\r\n");

  EXPECT_FALSE(WriteLineFile(path("missing/x.pth"), "x"));
  EXPECT_FALSE(WriteLineFile(m_dir.string(), "x")) << "a directory is not replaced";
  std::vector<std::string> left = entries();
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"elsewhere.txt", "fresh.fil", "linked.fil", "veltrix.pth"}))
      << "no temporary file is left";
}

TEST_F(FileNamesTest, AReplacedFileKeepsItsPermissionsAndItsSymbolicLinks) {
  std::filesystem::create_directory(m_dir / "real");
  struct Case {
    const char* what;
    std::string name;  // the name written to
    std::string file;  // where the content must land
    std::vector<std::string> links;
    std::function<void()> setUp;
  };
  const Case cases[] = {
      {"a private file",
       path("plain.sys"),
       path("plain.sys"),
       {},
       [&] { writeBytes(path("plain.sys"), "old"); }},
      {"a relative link",
       path("rel.sys"),
       path("real/rel.sys"),
       {path("rel.sys")},
       [&] {
         writeBytes(path("real/rel.sys"), "old");
         ::symlink("real/rel.sys", path("rel.sys").c_str());
       }},
      {"an absolute link",
       path("abs.sys"),
       path("real/abs.sys"),
       {path("abs.sys")},
       [&] {
         writeBytes(path("real/abs.sys"), "old");
         ::symlink(path("real/abs.sys").c_str(), path("abs.sys").c_str());
       }},
      {"a chain of two links, the second relative to its own directory",
       path("chain.sys"),
       path("real/chain.sys"),
       {path("chain.sys"), path("real/hop.sys")},
       [&] {
         writeBytes(path("real/chain.sys"), "old");
         ::symlink("chain.sys", path("real/hop.sys").c_str());
         ::symlink("real/hop.sys", path("chain.sys").c_str());
       }},
      {"a link that points nowhere yet",
       path("dangling.sys"),
       path("real/new.sys"),
       {path("dangling.sys")},
       [&] { ::symlink("real/new.sys", path("dangling.sys").c_str()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.setUp();
    const bool existed = std::filesystem::exists(c.file);
    if (existed) {
      ASSERT_EQ(::chmod(c.file.c_str(), 0600), 0);
    }
    ASSERT_TRUE(ReplaceFileSafely(c.name, "new contents")) << std::strerror(errno);
    EXPECT_EQ(readBytes(c.file), "new contents");
    struct stat info {};
    ASSERT_EQ(::lstat(c.file.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    if (existed) {
      EXPECT_EQ(info.st_mode & 07777, 0600u) << "the old file's permissions";
    }
    for (const std::string& link : c.links) EXPECT_TRUE(std::filesystem::is_symlink(link)) << link;
  }
  std::vector<std::string> left = entries();
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"abs.sys", "chain.sys", "dangling.sys", "plain.sys", "real",
                                            "rel.sys"}))
      << "no temporary file is left";
}

TEST_F(FileNamesTest, TemporaryFilesAreCreatedExclusivelyUnderUniqueNames) {
  // Whatever lies under the names a temporary file could have had - links to a victim, a directory,
  // a file left by a killed program - is neither followed nor in the way.
  const std::string victim = path("victim.txt");
  writeBytes(victim, "precious");
  const std::string target = path("x.prm");
  writeBytes(target, "old");
  for (const char* planted : {"x.pr$", "x.$$$", "x.prm.$$$", "x.prm.tmp"})
    ASSERT_EQ(::symlink(victim.c_str(), path(planted).c_str()), 0);
  std::filesystem::create_directory(path("x.pr$-0"));
  writeBytes(path("x.pr$-00000000"), "left over");

  std::vector<std::string> seen;
  ReplaceOptions options;
  options.temporaryExtension = "pr$";
  options.beforeCommit = [&](const std::string& resolved) {
    for (const std::string& name : entries())
      if (name.rfind("x.pr$-", 0) == 0 && name.size() == 14 && name != "x.pr$-00000000") seen.push_back(name);
    return resolved == target;
  };
  ASSERT_TRUE(ReplaceFileSafely(target, "new", options));
  EXPECT_EQ(readBytes(target), "new");
  EXPECT_FALSE(std::filesystem::is_symlink(target));
  EXPECT_EQ(readBytes(victim), "precious");
  ASSERT_EQ(seen.size(), 1u) << "one temporary file, named x.pr$- and eight characters";
  EXPECT_FALSE(std::filesystem::exists(path(seen[0]))) << "renamed over the target";
  EXPECT_TRUE(std::filesystem::is_symlink(path("x.pr$"))) << "what was there stays as it was";
  EXPECT_EQ(readBytes(path("x.pr$-00000000")), "left over");
}

TEST_F(FileNamesTest, AFailedReplacementLeavesTheOldFileAndNoTemporaryFile) {
  const std::string target = path("keep.sys");
  writeBytes(target, "old");
  const auto onlyTheOldFile = [&] {
    EXPECT_EQ(readBytes(target), "old");
    EXPECT_EQ(entries(), std::vector<std::string>{"keep.sys"});
  };

  ReplaceOptions refuse;
  refuse.beforeCommit = [](const std::string&) { return false; };
  EXPECT_FALSE(ReplaceFileSafely(target, "new", refuse));
  onlyTheOldFile();

  {
    test::FileSizeLimit limit(4);  // the write of the new contents fails as on a full disk
    ASSERT_TRUE(limit.active());
    EXPECT_FALSE(ReplaceFileSafely(target, "longer than four bytes"));
    EXPECT_EQ(errno, EFBIG);
  }
  onlyTheOldFile();

  // Only a regular file is replaced.
  std::filesystem::create_directory(path("dir.sys"));
  ASSERT_EQ(::mkfifo(path("pipe.sys").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("loop.sys", path("loop.sys").c_str()), 0);
  struct Refused {
    std::string name;
    int error;
  };
  for (const Refused& r :
       {Refused{path("dir.sys"), EISDIR}, Refused{path("pipe.sys"), EINVAL}, Refused{path("loop.sys"), ELOOP},
        Refused{path(std::string(300, 'l')), ENAMETOOLONG}, Refused{path("missing/x.sys"), ENOENT}}) {
    SCOPED_TRACE(r.name);
    EXPECT_FALSE(ReplaceFileSafely(r.name, "new"));
    EXPECT_EQ(errno, r.error);
  }
  EXPECT_TRUE(std::filesystem::is_directory(path("dir.sys")));
  EXPECT_EQ(entries().size(), 4u) << "keep.sys, dir.sys, pipe.sys, loop.sys and nothing else";
}

TEST_F(FileNamesTest, NamesKeepTheirBytesAndCase) {
  const std::string name = path(std::string("Größe.DT1"_w));
  EXPECT_TRUE(CreateEmptyFile(name));
  EXPECT_EQ(entries(), std::vector<std::string>{std::string("Größe.DT1"_w)});
  EXPECT_TRUE(WriteLineFile(name, "Zeile"));
  EXPECT_EQ(ReadFirstLine(name), "Zeile");
  EXPECT_EQ(FileSize(name), 7);
}

TEST_F(FileNamesTest, UnusableNamesAreHandledWithoutHarm) {
  const std::string names[] = {
      "",
      std::string(5000, 'n'),            // longer than any path the system takes
      path("a") + "\0b"s,                // the system would see only the part before the NUL
      path(std::string(300, 'l')),       // a file-name part beyond 255 bytes
      path("\x81\x8D\x8F\x90\x9D\xFF"),  // bytes Windows-1252 leaves undefined
      path("missing/dir/x"),
  };
  for (const std::string& name : names) {
    SCOPED_TRACE(name.size());
    EXPECT_EQ(FileSize(name), 0);
    EXPECT_EQ(FileDate(name), 0);
    EXPECT_FALSE(SetFileDate(name, 1));
    EXPECT_EQ(ReadFirstLine(name), "");
    EXPECT_FALSE(DeleteFile(name));
    if (!name.empty()) {
      EXPECT_FALSE(DirectoryExists(name));
    }
    EXPECT_EQ(NormaliseDirectory(name), "");
  }
  // Names the system refuses cannot be created; the odd bytes of the fifth are a valid name.
  for (const std::string& name : {names[0], names[1], names[2], names[3], names[5]}) {
    SCOPED_TRACE(name.size());
    EXPECT_FALSE(CanCreateFile(name));
    EXPECT_FALSE(CreateEmptyFile(name));
    EXPECT_FALSE(WriteLineFile(name, "x"));
  }
  EXPECT_TRUE(WriteLineFile(names[4], "x"));
  EXPECT_EQ(ReadFirstLine(names[4]), "x");
  EXPECT_EQ(entries().size(), 1u) << "only the file of the odd name";
}

TEST_F(FileNamesTest, CopyFileCopiesThroughTheFileLayer) {
  const std::string source = path("a.dt1");
  writeBytes(source, "1;2;3\r\n");
  test::ScriptedUi ui;
  EXPECT_EQ(CopyFile(ui, source, path("a.db1")), TFileCopy::Result::Copied);
  EXPECT_EQ(readBytes(path("a.db1")), "1;2;3\r\n");
  ui.expectError(path("none.dt1") + std::string(": Datei kann nicht geöffnet werden!"_w));
  EXPECT_EQ(CopyFile(ui, path("none.dt1"), path("b.db1")), TFileCopy::Result::Failed);
}

// A finished work file takes the statistics file's place; the previous file survives as the backup,
// and at no point is there no statistics file.
TEST_F(FileNamesTest, AWorkFileIsSwappedInAndThePreviousFileBecomesTheBackup) {
  const std::string stat = path("s.dt1");
  const std::string work = path("s.$$$");
  const std::string backup = path("s.db1");
  writeBytes(stat, "old\r\n");
  ::chmod(stat.c_str(), 0640);
  writeBytes(backup, "older backup\r\n");
  writeBytes(work, "new\r\n");
  ASSERT_EQ(SwapInWorkFile(stat, work, backup), SwapOutcome::Swapped);
  EXPECT_EQ(readBytes(stat), "new\r\n");
  EXPECT_EQ(readBytes(backup), "old\r\n");
  EXPECT_FALSE(std::filesystem::exists(work));
  struct stat info {};
  ASSERT_EQ(::stat(stat.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640U);
  // A second swap replaces that backup.
  writeBytes(work, "newest\r\n");
  ASSERT_EQ(SwapInWorkFile(stat, work, backup), SwapOutcome::Swapped);
  EXPECT_EQ(readBytes(stat), "newest\r\n");
  EXPECT_EQ(readBytes(backup), "new\r\n");
}

TEST_F(FileNamesTest, ASwapThroughASymbolicLinkReplacesTheLinkedFile) {
  const std::string real = path("real.dt1");
  const std::string link = path("link.dt1");
  writeBytes(real, "old");
  std::filesystem::create_symlink(real, link);
  writeBytes(path("link.$$$"), "new");
  ASSERT_EQ(SwapInWorkFile(link, path("link.$$$"), path("link.db1")), SwapOutcome::Swapped);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readBytes(real), "new");
  EXPECT_EQ(readBytes(path("link.db1")), "old");
}

TEST_F(FileNamesTest, AFailedSwapLeavesTheStatisticsFileAndDeletesTheWorkFile) {
  const std::string stat = path("s.dt1");
  const std::string work = path("s.$$$");
  writeBytes(stat, "old");
  // The backup name is taken by a directory: no backup can be made, so nothing is swapped.
  std::filesystem::create_directory(path("s.db1"));
  writeBytes(work, "new");
  EXPECT_EQ(SwapInWorkFile(stat, work, path("s.db1")), SwapOutcome::BackupFailed);
  EXPECT_EQ(readBytes(stat), "old");
  EXPECT_FALSE(std::filesystem::exists(work));
  // A work file that is not there cannot be swapped in either.
  EXPECT_EQ(SwapInWorkFile(stat, work, path("s.db2")), SwapOutcome::WorkFileFailed);
  EXPECT_EQ(readBytes(stat), "old");
  // The statistics file's name is taken by a directory: the rename fails and the backup link made
  // for it is removed again.
  std::filesystem::create_directory(path("d.dt1"));
  writeBytes(path("d.$$$"), "new");
  EXPECT_EQ(SwapInWorkFile(path("d.dt1"), path("d.$$$"), path("d.db1")), SwapOutcome::RenameFailed);
  EXPECT_FALSE(std::filesystem::exists(path("d.$$$")));
  EXPECT_FALSE(std::filesystem::exists(path("d.db1")));
}

}  // namespace
}  // namespace veltrix
