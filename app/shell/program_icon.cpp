#include "app/shell/program_icon.h"

#include <QSize>
#include <QString>

namespace veltrix {

QIcon programIcon() {
  QIcon icon;
  for (const int size : kProgramIconSizes)
    icon.addFile(QStringLiteral(":/icons/veltrix-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace veltrix
