#include "core/shell/file_selection.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "core/base/file_prompts.h"
#include "core/base/win1252.h"
#include "core/datafile/file_names.h"
#include "core/stats/text_helpers.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

std::string_view fileNamePart(std::string_view name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> splitAt(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    if (end == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

bool partMatches(std::string_view patternPart, std::string_view namePart) {
  const std::size_t star = patternPart.find('*');
  if (star == std::string_view::npos) return patternPart == namePart;
  return namePart.substr(0, star) == patternPart.substr(0, star);
}

// The elements of an absolute, lexically normal path, without the empty one a trailing "/" leaves.
std::vector<std::filesystem::path> pathElements(std::string_view directory) {
  std::error_code error;
  std::filesystem::path path = std::filesystem::absolute(std::filesystem::path(directory), error);
  if (error) path = std::filesystem::path(directory);
  std::vector<std::filesystem::path> elements;
  for (const auto& element : path.lexically_normal())
    if (!element.empty()) elements.push_back(element);
  return elements;
}

}  // namespace

FileSelection::FileSelection(const FileRequest& request) : m_request(request) {
  const std::vector<std::string_view> items = splitAt(request.filter, '|');
  for (std::size_t i = 0; i + 1 < items.size(); i += 2) {
    m_filter.push_back({std::string(items[i]), std::string(items[i + 1])});
    for (const std::string_view pattern : splitAt(items[i + 1], ';')) {
      const std::string_view single = trimmed(pattern);
      if (!single.empty() && single != "*.*") m_patterns.emplace_back(single);
    }
  }

  const std::string_view defaultName = fileNamePart(request.defaultName);
  const std::size_t dot = defaultName.rfind('.');
  if (dot == std::string_view::npos) {
    m_initialName = std::string(defaultName);
  } else {
    m_initialName = std::string(defaultName.substr(0, dot));
    const std::string_view extension = defaultName.substr(dot + 1);
    if (extension.find('*') == std::string_view::npos) m_defaultExtension = std::string(extension);
  }
}

bool FileSelection::has(char letter) const {
  for (const char c : m_request.modes)
    if (std::toupper(static_cast<unsigned char>(c)) == letter) return true;
  return false;
}

std::string FileSelection::withDefaultExtension(std::string_view name) const {
  std::string result(name);
  const std::string_view fileName = fileNamePart(name);
  if (!m_defaultExtension.empty() && !fileName.empty() && fileName.find('.') == std::string_view::npos)
    result += "." + m_defaultExtension;
  return result;
}

bool FileSelection::matchesPatterns(std::string_view name) const {
  if (m_patterns.empty()) return true;
  const std::string_view fileName = fileNamePart(name);
  for (const std::string& pattern : m_patterns)
    if (matchesFilePattern(pattern, fileName)) return true;
  return false;
}

std::optional<std::string> FileSelection::confirm(Ui& ui, std::string_view chosenName) const {
  const std::string name = withDefaultExtension(chosenName);
  const std::string_view fileName = fileNamePart(name);
  if (fileName.empty()) return std::nullopt;

  if (checksPatterns() && !matchesPatterns(name)) {
    showInvalidName(ui, fileNameForDisplay(fileName));
    return std::nullopt;
  }

  // Prompts show the name as text (file-system bytes decoded, control bytes as "?").
  const std::string shown = fileNameForDisplay(name);
  std::error_code error;
  const auto status = std::filesystem::status(std::filesystem::path(name), error);
  // The dialog enters a directory instead of confirming it; it is never a file name.
  if (std::filesystem::is_directory(status)) return std::nullopt;
  const bool exists = std::filesystem::exists(status);

  if (isOpenDialog()) {
    if (exists) return name;
    if (mustExist()) {
      showMissingFile(ui, shown);
      return std::nullopt;
    }
    if (!asksFirst()) return name;
    if (!askCreate(ui, shown)) return std::nullopt;
    if (!CreateEmptyFile(name)) {
      showCannotCreate(ui, shown);
      return std::nullopt;
    }
    return name;
  }

  if (exists) {
    if (neverOverwrites()) {
      showMayNotOverwrite(ui, shown);
      return std::nullopt;
    }
    if (asksFirst() && !askOverwrite(ui, shown)) return std::nullopt;
    return name;
  }
  if (mustExist()) {
    showMissingFile(ui, shown);
    return std::nullopt;
  }
  if (!CanCreateFile(name)) {
    showCannotCreate(ui, shown);
    return std::nullopt;
  }
  return name;
}

bool matchesFilePattern(std::string_view pattern, std::string_view fileName) {
  const std::string lowerPattern = LowerText(pattern);
  const std::string lowerName = LowerText(fileName);
  const std::size_t patternDot = lowerPattern.find('.');
  const std::string_view patternName = std::string_view(lowerPattern).substr(0, patternDot);
  const std::string_view patternExtension = patternDot == std::string::npos
                                                ? std::string_view()
                                                : std::string_view(lowerPattern).substr(patternDot + 1);
  const std::size_t nameDot = lowerName.rfind('.');
  const std::string_view nameBase = std::string_view(lowerName).substr(0, nameDot);
  const std::string_view nameExtension =
      nameDot == std::string::npos ? std::string_view() : std::string_view(lowerName).substr(nameDot + 1);
  return partMatches(patternName, nameBase) && partMatches(patternExtension, nameExtension);
}

PathSelection::PathSelection(const PathRequest& request) : m_request(request) {
  m_start = NormaliseDirectory(request.initialDirectory);
  if (m_start.empty()) {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    m_start = error ? std::string("/") : current.string();
  }
}

std::string PathSelection::restrictionText() const {
  if (!m_request.restricted) return {};
  std::string text("Nur Startverzeichnis  ");
  text += m_start;
  text += "   und Unterverzeichnisse zulässig!"_w;
  return text;
}

std::string PathSelection::navigate(std::string_view directory) const {
  if (m_request.restricted && !isInSubtree(directory, m_start)) return m_start;
  return std::string(directory);
}

std::optional<std::string> PathSelection::result(std::string_view shown) const {
  std::string directory = NormaliseDirectory(navigate(shown));
  if (directory.empty()) return std::nullopt;
  return directory;
}

bool isInSubtree(std::string_view directory, std::string_view start) {
  const auto inner = pathElements(directory);
  const auto outer = pathElements(start);
  if (inner.size() < outer.size()) return false;
  for (std::size_t i = 0; i < outer.size(); ++i)
    if (inner[i] != outer[i]) return false;
  return true;
}

}  // namespace veltrix
