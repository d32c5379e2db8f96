// File-name and small file utilities. They hold no state and show no message (except CopyFile, which
// reports through the file objects). Paths use "/"; names keep their case and are passed to the
// operating system byte for byte. Any name is accepted: an empty, overlong or otherwise unusable name
// (one holding a NUL byte included) simply does not exist and cannot be created.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/datafile/file_objects.h"

namespace veltrix {

class Ui;

// A modification time stamp: nanoseconds since 1970-01-01 00:00 UTC (covers the years 1678..2262).
// 0 stands for "no time stamp".
using FileTime = std::int64_t;

// Cuts the name at the last "." of its file-name part (a "." in a directory name does not count; a
// name without one is kept whole) and appends "." + extension unless the extension is empty.
std::string ChangeExtension(std::string_view name, std::string_view extension);

// A statistics file is one whose file name (not a directory in front of it) has an extension that
// begins with "dt" in any case: "studie.dt1", "STUDIE.DT1", "x.Dt". "d.dtx/notes.txt" is none.
bool IsStatisticsFileName(std::string_view name);

// The backup copy of a statistics file: "dt" at the start of the file name's extension becomes "db"
// with the case of each letter kept ("STUDIE.DT1" -> "STUDIE.DB1"); directories are never touched. A
// name that is no statistics file name is returned unchanged.
std::string BackupFileName(std::string_view statisticsFile);

// The name under which a companion file (the parameter file of a statistics file, for instance) is
// found: the name itself when something of that name exists; otherwise the first entry, in byte
// order, of the same directory whose file name differs from it only in ASCII case (files copied from
// other systems arrive as "STUDIE.PRM" beside "studie.dt1"); the name itself when there is none.
std::string FindCaseVariant(std::string_view name);

// The parameter file of a statistics file: its name with the extension "prm" ("PRM" after an
// extension in capitals, CompanionFileName), or the existing file whose name differs from that only
// in case (FindCaseVariant). Saving writes back to this name.
std::string ParameterFileName(std::string_view statisticsFile);

// The name with its extension changed (ChangeExtension), the new extension upper-cased when the old
// one has letters and all of them are capitals: the ".prb" of "STUDIE.PRM" is "STUDIE.PRB".
std::string CompanionFileName(std::string_view name, std::string_view extension);

// What stands under a name, following symbolic links. Nothing of it throws or blocks.
enum class EntryKind {
  Missing,      // nothing (a link that points nowhere, or a name below a regular file, too)
  RegularFile,  // size holds its length
  Directory,
  Other,     // a named pipe, a device, a socket
  Unusable,  // the system cannot tell: a link loop, a name too long, a directory that may not be
             // searched, an empty name or one with a NUL byte; error holds the reason
};
struct FileProbe {
  EntryKind kind = EntryKind::Missing;
  std::int64_t size = 0;
  int error = 0;  // the errno value for Unusable
};
FileProbe ProbeFile(std::string_view name);

// directory + "/" + name; no second "/" after a directory that ends with one. An absolute name (one
// starting with "/") and an empty directory give the name unchanged.
std::string JoinPath(std::string_view directory, std::string_view name);

// True for an existing directory and for the empty string (the current directory).
bool DirectoryExists(std::string_view directory);

// Removes one trailing "/" (the root "/" keeps it); "" when the result names no existing directory.
std::string NormaliseDirectory(std::string_view directory);

// Replaces an existing file by an empty one, or creates it; false when that is not possible.
bool CreateEmptyFile(std::string_view name);
// Creates a new empty file, and only that: false when anything (a file, a directory, a link, even
// one that points nowhere) already stands under the name. The file is flushed to the disk.
bool CreateNewEmptyFile(std::string_view name);

// True for an existing file; otherwise tries to create it (and deletes it again).
bool CanCreateFile(std::string_view name);

// Deletes a file (not a directory); true when it was deleted.
bool DeleteFile(std::string_view name);

// Size in bytes of a regular file; 0 when it cannot be opened or is no regular file.
std::int64_t FileSize(std::string_view name);

// Modification time of the file, 0 when there is none.
FileTime FileDate(std::string_view name);
// Sets the modification time (the access time stays); false when that fails.
bool SetFileDate(std::string_view name, FileTime date);

// At most 255 bytes from the start of the file, cut at the first CR, with every LF removed; "" when the
// file cannot be opened or read.
std::string ReadFirstLine(std::string_view name);

// Flushes a closed file's data to the disk; false when it cannot be opened or flushed.
bool FlushFile(std::string_view name);
// Makes a rename in the directory of name durable. A failure loses nothing that is not already on the
// disk, so it is not reported.
void FlushDirectoryOf(std::string_view name);

// How a file is replaced by ReplaceFileSafely.
struct ReplaceOptions {
  // The temporary file is named after the target with this extension and "-" + eight random
  // characters ("studie.pr$-K3X0QZ7A"), so that no two writers, and no file left by a killed
  // program, ever share it.
  std::string_view temporaryExtension = "$$$";
  // Runs when the new content is on the disk, just before it takes the target's place; it gets the
  // target's name after symbolic links (the file that is replaced). False abandons the replacement.
  std::function<bool(const std::string& target)> beforeCommit;
};

// Replaces the file name by bytes so that a crash at any moment leaves either the old or the new
// file, never a half-written one:
//  - a symbolic link (or a chain of them) is followed: the file at its end is replaced and the links
//    stay; a link that points nowhere is written at the place it points to;
//  - the bytes go to a temporary file in the target's directory, created exclusively
//    (O_CREAT | O_EXCL | O_NOFOLLOW under a unique name, so nothing found there - a stray file, a
//    planted link - is followed, overwritten or in the way); it is flushed, given the old file's
//    permission bits (and owner, where the system allows it) and renamed over the target, and the
//    directory is flushed;
//  - only a regular file, or nothing, is replaced: a directory, a pipe or a device is refused;
//  - on every failure the temporary file is removed again and the old file stays as it was.
// False on failure, with errno telling why; nothing is shown (callers name the file in their own
// message, never the temporary name).
bool ReplaceFileSafely(std::string_view name, std::string_view bytes, const ReplaceOptions& options = {});

// Replaces the file by text + CR LF through ReplaceFileSafely. False when the file could not be
// replaced.
bool WriteLineFile(std::string_view name, std::string_view text);

// How a finished work file took the statistics file's place.
enum class SwapOutcome {
  Swapped,
  WorkFileFailed,  // the work file could not be flushed or given the old file's permissions
  BackupFailed,    // the old backup could not be removed, or no new one could be made
  RenameFailed,    // the work file could not be renamed over the statistics file
};

// Makes a complete work file (written beside the statistics file) the statistics file and keeps the
// previous one as its backup: the work file is flushed and takes over the statistics file's
// permissions, the old backup is deleted, the statistics file becomes the backup as a hard link (a
// copy where the file system has no links), and the work file is renamed over the statistics file, so
// that a statistics file exists at every moment. A statistics file that is a symbolic link is replaced
// at the link's end. On any failure the statistics file is unchanged and the work file is deleted;
// errno tells why.
SwapOutcome SwapInWorkFile(std::string_view statisticsFile, std::string_view workFile,
                           std::string_view backupFile);

// Copies source to target through TFileCopy (its messages, its result).
TFileCopy::Result CopyFile(Ui& ui, const std::string& source, const std::string& target);

}  // namespace veltrix
