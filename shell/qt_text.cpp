#include "shell/qt_text.h"

#include <QStringList>

#include "base/codec.h"
#include "base/text_ops.h"

namespace ak {

QString ToQString(const Text& gbk) { return QString::fromStdString(GbkToUtf8(gbk)); }

Text FromQString(const QString& text) { return Utf8ToGbk(text.toStdString()); }

QString ToDisplayString(const Text& gbk) {
  // Control characters from the service are shown as "\xNN", never acted on.
  QString shown = ToQString(ShowControlCharacters(gbk));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

QString ToCompactHtml(const Text& gbk) {
  QString html;
  const QStringList lines = ToQString(gbk).split(QStringLiteral("\r\n"));
  for (const QString& line : lines) {
    if (line.isEmpty()) {
      html += QStringLiteral("<div style=\"font-size:4px\">&nbsp;</div>");
    } else {
      html += QStringLiteral("<div>") + line.toHtmlEscaped() + QStringLiteral("</div>");
    }
  }
  return html;
}

}  // namespace ak
