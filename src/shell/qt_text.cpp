#include "shell/qt_text.h"

#include <QFile>
#include <QStringDecoder>
#include <vector>

namespace quavert {
namespace {

std::vector<std::string_view> SplitBars(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const auto bar = text.find('|', start);
    parts.push_back(text.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  return parts;
}

// "MIDI files (*.mid)" already names its patterns: Qt reads them from the last parentheses, so
// they are replaced there rather than added twice.
QString WithoutPatternSuffix(QString description) {
  description = description.trimmed();
  if (description.endsWith(u')')) {
    const auto open = description.lastIndexOf(u'(');
    if (open >= 0) description = description.left(open).trimmed();
  }
  return description;
}

}  // namespace

QString ToDisplay(std::string_view bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(view);
  if (utf8.hasError()) text = QString::fromLatin1(view);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

QString ToDisplay(std::string_view bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::kAutomatic) return ToDisplay(bytes);
  const std::string utf8 = ToUtf8(bytes, encoding);
  QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

std::string FromUser(const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() > 0xFF) return text.toStdString();
  }
  const QByteArray latin1 = text.toLatin1();
  return std::string(latin1.constData(), static_cast<std::size_t>(latin1.size()));
}

std::string PathBytes(const QString& path) {
  const QByteArray bytes = QFile::encodeName(path);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QStringList NameFilters(std::string_view filter) {
  QStringList filters;
  const auto parts = SplitBars(filter);
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = ToDisplay(parts[i + 1]).trimmed();
    patterns.replace(u';', u' ');
    filters << WithoutPatternSuffix(ToDisplay(parts[i])) + QStringLiteral(" (") + patterns + u')';
  }
  return filters;
}

}  // namespace quavert
