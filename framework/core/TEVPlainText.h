#pragma once
// The text of a document as setPlainText takes it back. QTextDocument::toPlainText also turns non-breaking
// spaces into spaces and line separators (Shift+Return in an editor) into paragraph breaks, so a text written
// with it reads back changed; here only paragraph and frame boundaries become '\n'.
#include <QString>
#include <QTextDocument>

namespace TEVQtLib {

inline QString tevPlainText(const QTextDocument& document)
{
    QString text = document.toRawText();
    for (QChar& c : text) {
        const ushort u = c.unicode();
        if (u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1) // paragraph, frame start, frame end
            c = QLatin1Char('\n');
    }
    return text;
}

} // namespace TEVQtLib
