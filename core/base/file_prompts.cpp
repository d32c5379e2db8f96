#include "core/base/file_prompts.h"

#include <initializer_list>

#include "core/base/ui.h"
#include "core/base/win1252.h"

namespace veltrix {

using namespace veltrix::literals;

namespace {

std::string joined(std::string_view name, std::initializer_list<std::string_view> pieces) {
  std::string text(name);
  for (const std::string_view piece : pieces) text += piece;
  return text;
}

}  // namespace

std::string cannotCreateText(std::string_view name) {
  return joined(name, {" :", "\r\n\r\n", "Datei kann nicht angelegt werden!"});
}

std::string mayNotOverwriteText(std::string_view name) {
  return joined(name, {" :", "\r\n\r\n", "Datei existiert schon!", "\r", "Überschreiben nicht zulässig!"_w});
}

std::string invalidNameText(std::string_view name) {
  return joined(name, {" :", "\r\n\r\n", "Unzulässiger Dateiname!"_w});
}

std::string overwriteText(std::string_view name) {
  return joined(name, {" : ", "\r", "Datei existiert schon!", "\r\n\r\n", "Überschreiben!"_w});
}

std::string createText(std::string_view name) {
  return joined(name, {" : ", "\r", "Datei existiert nicht!", "\r\n\r\n", "Neu anlegen?"});
}

std::string missingFileText(std::string_view name) {
  return joined(name, {" :", "\r\n\r\n", "Datei existiert nicht!"});
}

void showCannotCreate(Ui& ui, std::string_view name) {
  ui.error(cannotCreateText(name));
}
void showMayNotOverwrite(Ui& ui, std::string_view name) {
  ui.error(mayNotOverwriteText(name));
}
void showInvalidName(Ui& ui, std::string_view name) {
  ui.error(invalidNameText(name));
}
void showMissingFile(Ui& ui, std::string_view name) {
  ui.error(missingFileText(name));
}

bool askOverwrite(Ui& ui, std::string_view name) {
  ui.beep();
  return ui.confirm(overwriteText(name));
}

bool askCreate(Ui& ui, std::string_view name) {
  ui.beep();
  return ui.confirm(createText(name));
}

}  // namespace veltrix
