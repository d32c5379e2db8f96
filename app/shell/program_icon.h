// The program's own icon, drawn in app/icons/ and compiled in as :/icons/veltrix-<size>.png.
#pragma once

#include <QIcon>
#include <array>

namespace veltrix {

inline constexpr std::array<int, 6> kProgramIconSizes = {16, 32, 48, 64, 128, 256};

// Every size of the icon; the application sets it as the icon of all its windows.
QIcon programIcon();

}  // namespace veltrix
