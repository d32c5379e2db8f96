// Files of a Qt test's scratch folder, named as core names them (file-system bytes).
#pragma once

#include <QByteArray>
#include <QFile>
#include <QTest>
#include <string>

#include "app/shell/qt_text.h"

namespace veltrix::test {

// Writes bytes to the file, replacing it; a file that cannot be written fails the test.
inline void WriteScratchFile(const std::string& name, const QByteArray& bytes) {
  QFile file(toQPath(name));
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

// The bytes of the file; empty when it does not exist.
inline QByteArray ReadScratchFile(const std::string& name) {
  QFile file(toQPath(name));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace veltrix::test
