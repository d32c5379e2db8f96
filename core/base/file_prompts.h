// The standard file prompts: a file name followed by what is wrong with it or what is asked. Every part
// that creates, opens or writes files shows these same texts.
#pragma once

#include <string>
#include <string_view>

namespace veltrix {

class Ui;

// The texts, Windows-1252, with the name in front.
std::string cannotCreateText(std::string_view name);     // name :  "Datei kann nicht angelegt werden!"
std::string mayNotOverwriteText(std::string_view name);  // name :  "Datei existiert schon!" ...
std::string invalidNameText(std::string_view name);      // name :  "Unzulässiger Dateiname!"
std::string overwriteText(std::string_view name);        // name :  ... "Überschreiben!"
std::string createText(std::string_view name);           // name :  ... "Neu anlegen?"
// A file that has to exist and does not (file selection with "E").
std::string missingFileText(std::string_view name);

// Error boxes (they beep, as every error box does).
void showCannotCreate(Ui& ui, std::string_view name);
void showMayNotOverwrite(Ui& ui, std::string_view name);
void showInvalidName(Ui& ui, std::string_view name);
void showMissingFile(Ui& ui, std::string_view name);

// Yes/No questions, each preceded by a beep; true for Yes.
bool askOverwrite(Ui& ui, std::string_view name);
bool askCreate(Ui& ui, std::string_view name);

}  // namespace veltrix
