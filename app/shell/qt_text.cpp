#include "app/shell/qt_text.h"

#include <QFile>

#include "core/base/win1252.h"

namespace veltrix {

QString toQString(std::string_view win1252) {
  QString out;
  out.reserve(static_cast<qsizetype>(win1252.size()));
  for (const char c : win1252)
    out.append(QChar(static_cast<char16_t>(win1252ToUnicode(static_cast<unsigned char>(c)))));
  return out;
}

std::string fromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return utf8ToWin1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString toQPath(std::string_view path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string fromQPath(const QString& path) {
  const QByteArray bytes = QFile::encodeName(path);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace veltrix
