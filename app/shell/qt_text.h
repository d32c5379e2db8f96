// The one place where Windows-1252 text of the core meets QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace veltrix {

QString toQString(std::string_view win1252);
// Characters without a Windows-1252 byte become '?'.
std::string fromQString(const QString& text);

}  // namespace veltrix
