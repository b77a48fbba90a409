#include "web/JsStringLiteral.h"

namespace {

void appendUnicodeEscape(QString& sOut, char16_t code)
{
    sOut += QStringLiteral("\\u");
    sOut += QString::number(code, 16).rightJustified(4, QLatin1Char('0'));
}

} // namespace

QString escapeJsStringLiteral(const QString& sText)
{
    QString sOut;
    sOut.reserve(sText.size() + sText.size() / 8 + 8);
    const int size = sText.size();
    for (int i = 0; i < size; ++i) {
        const QChar ch = sText.at(i);
        const char16_t code = ch.unicode();
        switch (code) {
        case u'\\':
            sOut += QStringLiteral("\\\\");
            continue;
        case u'\'':
            sOut += QStringLiteral("\\'");
            continue;
        case u'"':
            sOut += QStringLiteral("\\\"");
            continue;
        case u'\n':
            sOut += QStringLiteral("\\n");
            continue;
        case u'\r':
            sOut += QStringLiteral("\\r");
            continue;
        case u'\t':
            sOut += QStringLiteral("\\t");
            continue;
        case 0x2028:
        case 0x2029:
        case 0x7f:
            appendUnicodeEscape(sOut, code);
            continue;
        default:
            break;
        }
        if (code < 0x20) {
            appendUnicodeEscape(sOut, code);
        } else if (ch.isHighSurrogate() && i + 1 < size && sText.at(i + 1).isLowSurrogate()) {
            sOut += ch;
            sOut += sText.at(++i);
        } else if (ch.isSurrogate()) {
            // A lone surrogate would not survive the script's trip through UTF-8.
            appendUnicodeEscape(sOut, code);
        } else {
            sOut += ch;
        }
    }
    return sOut;
}
