// The one place where Windows-1252 text of the core meets QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace veltrix {

QString toQString(std::string_view win1252);
// Characters without a Windows-1252 byte become '?'.
std::string fromQString(const QString& text);

// File and directory names are the file system's bytes (UTF-8 on Linux), not Windows-1252: a name with
// umlauts must reach open() as it stands on the disk. Dialogs hand names over through these two.
QString toQPath(std::string_view path);
std::string fromQPath(const QString& path);

}  // namespace veltrix
