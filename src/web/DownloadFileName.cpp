#include "web/DownloadFileName.h"

#include <QSet>

namespace DownloadFileName {

const QString kFallbackName = QStringLiteral("download");

namespace {

// File systems take 255 bytes for a name; this leaves room for " (n)" and for the
// engine's own suffix while a download runs.
const int kMaxNameBytes = 200;
// An ending longer than this is not treated as an extension worth keeping.
const int kMaxExtensionLength = 16;
const QString kRefusedCharacters = QStringLiteral("<>:\"|?*");

// Characters that turn the displayed order of a name around, so "evil\u202Efdp.exe"
// would show as "evilexe.pdf".
bool isDirectionControl(char16_t ch)
{
    return ch == 0x061C || ch == 0x200E || ch == 0x200F || (ch >= 0x202A && ch <= 0x202E)
        || (ch >= 0x2066 && ch <= 0x2069);
}

bool isTrimmedAtEnd(QChar ch)
{
    return ch.isSpace() || ch == QLatin1Char('.');
}

QString trimmed(QString sName)
{
    int begin = 0;
    while (begin < sName.size() && isTrimmedAtEnd(sName.at(begin)))
        ++begin;
    int end = sName.size();
    while (end > begin && isTrimmedAtEnd(sName.at(end - 1)))
        --end;
    return sName.mid(begin, end - begin);
}

bool isReservedDeviceName(const QString& sName)
{
    static const QSet<QString> kReserved = [] {
        QSet<QString> names{QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"), QStringLiteral("NUL"),
            QStringLiteral("CONIN$"), QStringLiteral("CONOUT$")};
        // Windows also reserves the superscript digits one to three.
        const QString digits = QStringLiteral("123456789\u00B9\u00B2\u00B3");
        for (const QChar digit : digits) {
            names.insert(QStringLiteral("COM") + digit);
            names.insert(QStringLiteral("LPT") + digit);
        }
        return names;
    }();
    // Windows looks at the part before the first dot, without trailing spaces.
    QString stem = sName.section(QLatin1Char('.'), 0, 0);
    while (stem.endsWith(QLatin1Char(' ')))
        stem.chop(1);
    return kReserved.contains(stem.toUpper());
}

// Drops whole characters (never half a surrogate pair) from the end until the UTF-8
// form fits in maxBytes.
QString cutToBytes(QString sText, int maxBytes)
{
    while (!sText.isEmpty() && sText.toUtf8().size() > maxBytes)
        sText.chop(sText.size() >= 2 && sText.at(sText.size() - 1).isLowSurrogate() ? 2 : 1);
    return sText;
}

QString shortened(const QString& sName)
{
    if (sName.toUtf8().size() <= kMaxNameBytes)
        return sName;
    const int dot = sName.lastIndexOf(QLatin1Char('.'));
    const QString sExtension = dot > 0 && sName.size() - dot <= kMaxExtensionLength ? sName.mid(dot) : QString();
    const QString sBase = trimmed(
        cutToBytes(sName.left(sName.size() - sExtension.size()), kMaxNameBytes - int(sExtension.toUtf8().size())));
    return sBase.isEmpty() ? trimmed(cutToBytes(sName, kMaxNameBytes)) : sBase + sExtension;
}

// The position where the extension starts, or the length of the name when it has none.
int extensionStart(const QString& sName)
{
    const int dot = sName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return sName.size();
    const QString sTar = QStringLiteral(".tar");
    if (dot >= sTar.size() + 1 && sName.midRef(dot - sTar.size(), sTar.size()).compare(sTar, Qt::CaseInsensitive) == 0)
        return dot - sTar.size();
    return dot;
}

} // namespace

QString plainFileName(const QString& sSuggested)
{
    const int lastSeparator = qMax(sSuggested.lastIndexOf(QLatin1Char('/')), sSuggested.lastIndexOf(QLatin1Char('\\')));
    const QString sLast = sSuggested.mid(lastSeparator + 1);

    QString sName;
    sName.reserve(sLast.size());
    for (int i = 0; i < sLast.size(); ++i) {
        const QChar ch = sLast.at(i);
        if (ch.isHighSurrogate() && i + 1 < sLast.size() && sLast.at(i + 1).isLowSurrogate()) {
            sName.append(ch);
            sName.append(sLast.at(++i));
            continue;
        }
        if (ch.isSurrogate() || ch.category() == QChar::Other_Control || isDirectionControl(ch.unicode()))
            continue;
        sName.append(kRefusedCharacters.contains(ch) ? QLatin1Char('_') : ch);
    }

    sName = shortened(trimmed(sName));
    if (sName.isEmpty())
        return kFallbackName;
    if (isReservedDeviceName(sName))
        sName.prepend(QLatin1Char('_'));
    return sName;
}

QString uniqueFileName(const QString& sName, const std::function<bool(const QString&)>& isTaken)
{
    if (!isTaken(sName))
        return sName;
    const int start = extensionStart(sName);
    const QString sStem = sName.left(start);
    const QString sExtension = sName.mid(start);
    for (int n = 1;; ++n) {
        const QString sCandidate = QStringLiteral("%1 (%2)%3").arg(sStem, QString::number(n), sExtension);
        if (!isTaken(sCandidate))
            return sCandidate;
    }
}

} // namespace DownloadFileName
