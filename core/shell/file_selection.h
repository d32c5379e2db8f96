// The rules of the file selection and of the path preset, without a window: which dialog, which
// patterns, which default extension, and whether a confirmed name may close the dialog. The Qt dialogs
// show a FileSelection or PathSelection and ask it before they close.
//
// File names keep their case (Linux file systems tell "Daten.dt1" from "daten.dt1"), so the "U" letter
// changes nothing; patterns and extensions are still compared without regard to case.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/ui.h"

namespace veltrix {

class FileSelection {
 public:
  explicit FileSelection(const FileRequest& request);

  const FileRequest& request() const { return m_request; }

  // Mode letters: R open dialog (else save dialog), C check the name against the patterns, E the file
  // must exist, S resizable dialog, A ask before creating (open) or overwriting (save), X never
  // overwrite (save), U keep the name's case.
  bool isOpenDialog() const { return has('R'); }
  bool checksPatterns() const { return has('C'); }
  bool mustExist() const { return has('E'); }
  bool isResizable() const { return has('S'); }
  bool asksFirst() const { return has('A'); }
  bool neverOverwrites() const { return has('X'); }

  // The filter's display texts and their pattern items, in order ("Statistikdateien (*.dt*)", "*.dt*").
  struct FilterEntry {
    std::string display;
    std::string patterns;  // one or more, separated by ";"
  };
  const std::vector<FilterEntry>& filterEntries() const { return m_filter; }
  // Single patterns of all pattern items in order, without "*.*"; the "C" check uses them.
  const std::vector<std::string>& patterns() const { return m_patterns; }
  // From the default name: its extension without the "." ("" when it contains "*"), and its name part.
  const std::string& defaultExtension() const { return m_defaultExtension; }
  const std::string& initialName() const { return m_initialName; }

  // The name with the default extension appended when its file-name part has none.
  std::string withDefaultExtension(std::string_view name) const;
  // True when the file-name part matches one of the patterns (or there are none).
  bool matchesPatterns(std::string_view name) const;

  // Called when the user confirms a name (a full path). Appends the default extension, then checks
  // patterns, existence, creating and overwriting with their prompts. The accepted full name, or
  // nothing when the dialog stays open.
  std::optional<std::string> confirm(Ui& ui, std::string_view chosenName) const;

 private:
  bool has(char letter) const;

  FileRequest m_request;
  std::vector<FilterEntry> m_filter;
  std::vector<std::string> m_patterns;
  std::string m_defaultExtension;
  std::string m_initialName;
};

// True when pattern (such as "*.dt*", "daten.dt*" or "x*.txt") matches the file name: the part before
// the pattern's first "." against the name without extension, the part after it against the extension;
// a part starting with "*" matches anything, one with a later "*" matches a name part beginning with
// the text before it, one without "*" must be equal. Case does not count.
bool matchesFilePattern(std::string_view pattern, std::string_view fileName);

// The path preset: where the listing goes when the user picks a directory, and what is returned.
class PathSelection {
 public:
  explicit PathSelection(const PathRequest& request);

  const PathRequest& request() const { return m_request; }
  bool isRestricted() const { return m_request.restricted; }
  // The directory the dialog starts in: the initial directory normalised, or the working directory
  // when that does not exist.
  const std::string& startDirectory() const { return m_start; }
  // The note shown in restricted mode, "" otherwise.
  std::string restrictionText() const;

  // The directory the listing shows after the user picked this one: in restricted mode a directory
  // outside the start directory's subtree snaps back to the start directory.
  std::string navigate(std::string_view directory) const;
  // The directory the dialog returns for the one shown when the user confirms: normalised; nothing
  // when it no longer exists.
  std::optional<std::string> result(std::string_view shown) const;

 private:
  PathRequest m_request;
  std::string m_start;
};

// True when directory is start itself or lies below it; "/data/ab" does not lie below "/data/a". Both
// are compared as written, after "." and ".." steps are resolved.
bool isInSubtree(std::string_view directory, std::string_view start);

}  // namespace veltrix
