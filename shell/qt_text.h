#pragma once

#include <QString>

#include "base/types.h"

namespace ak {

// The one crossing between the program's GBK text and Qt's strings.
QString ToQString(const Text& gbk);
Text FromQString(const QString& text);
// For captions, the log and message boxes: CR LF line ends become the "\n" Qt draws, control
// characters are shown as "\xNN".
QString ToDisplayString(const Text& gbk);
// For long help texts: the lines as rich text, with empty lines drawn at a fraction of a line's
// height so the text keeps to the space the design gives it.
QString ToCompactHtml(const Text& gbk);

}  // namespace ak
