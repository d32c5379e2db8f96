// File-name and small file utilities. They hold no state and show no message (except CopyFile, which
// reports through the file objects). Paths use "/"; names keep their case and are passed to the
// operating system byte for byte. Any name is accepted: an empty, overlong or otherwise unusable name
// (one holding a NUL byte included) simply does not exist and cannot be created.
#pragma once

#include <cstdint>
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

// directory + "/" + name; no second "/" after a directory that ends with one. An absolute name (one
// starting with "/") and an empty directory give the name unchanged.
std::string JoinPath(std::string_view directory, std::string_view name);

// True for an existing directory and for the empty string (the current directory).
bool DirectoryExists(std::string_view directory);

// Removes one trailing "/" (the root "/" keeps it); "" when the result names no existing directory.
std::string NormaliseDirectory(std::string_view directory);

// Replaces an existing file by an empty one, or creates it; false when that is not possible.
bool CreateEmptyFile(std::string_view name);

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

// Replaces the file by text + CR LF. The text goes to a temporary file in the same directory, which is
// flushed to the disk and then renamed over the old file, so the old file is never half-written. An
// existing file keeps its permission bits. False when the file could not be replaced.
bool WriteLineFile(std::string_view name, std::string_view text);

// Copies source to target through TFileCopy (its messages, its result).
TFileCopy::Result CopyFile(Ui& ui, const std::string& source, const std::string& target);

}  // namespace veltrix
