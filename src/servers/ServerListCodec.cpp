#include "servers/ServerListCodec.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <vector>

namespace ServerListCodec {

namespace {

const QString kRoot = QStringLiteral("ServerList");
const QString kServer = QStringLiteral("Server");
const QString kDefault = QStringLiteral("Default");
const QString kName = QStringLiteral("Name");
const QString kUrl = QStringLiteral("URL");

enum class Field {
    Other,
    Default,
    Name,
    Url,
};

Field fieldOf(const QStringRef& qualifiedName)
{
    if (qualifiedName == kDefault)
        return Field::Default;
    if (qualifiedName == kName)
        return Field::Name;
    if (qualifiedName == kUrl)
        return Field::Url;
    return Field::Other;
}

// One "Default", "Name" or "URL" element that the walk reached, with its text.
struct Visit
{
    Field field;
    QString text;
};

// Reads the document in one pass, recording the elements that the walk reaches in the
// order it reaches them. The walk goes through the elements in document order and
// climbs at most one level between two of them: when the next element begins after
// three or more elements have ended, it stops there.
class Walk
{
public:
    ParseResult read(const QByteArray& bytes)
    {
        QXmlStreamReader reader(bytes);
        reader.setNamespaceProcessing(false);
        while (!reader.atEnd()) {
            switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                flushRun();
                if (m_open.size() == kMaxDepth)
                    return ParseResult::TooDeep;
                startElement(reader.qualifiedName());
                break;
            case QXmlStreamReader::EndElement:
                flushRun();
                if (m_open.back() >= 0)
                    m_openVisits.pop_back();
                m_open.pop_back();
                ++m_endsSinceStart;
                break;
            case QXmlStreamReader::Characters:
                if (reader.isCDATA()) {
                    flushRun();
                    m_run = reader.text().toString();
                    flushRun();
                } else {
                    m_run += reader.text();
                }
                break;
            case QXmlStreamReader::Comment:
            case QXmlStreamReader::ProcessingInstruction:
            case QXmlStreamReader::EntityReference:
                flushRun();
                break;
            default:
                break;
            }
            // Text nested in several fields counts once for each of them.
            if (m_textSize > kMaxDocumentBytes)
                return ParseResult::TooLarge;
        }
        return reader.hasError() ? ParseResult::NotWellFormed : ParseResult::Ok;
    }

    const std::vector<Visit>& visits() const { return m_visits; }

private:
    void startElement(const QStringRef& qualifiedName)
    {
        const bool isRoot = !m_seenRoot;
        m_seenRoot = true;
        if (!isRoot && m_endsSinceStart > 2)
            m_walking = false;
        m_endsSinceStart = 0;

        const Field field = isRoot || !m_walking ? Field::Other : fieldOf(qualifiedName);
        if (field == Field::Other) {
            m_open.push_back(-1);
            return;
        }
        m_open.push_back(int(m_visits.size()));
        m_openVisits.push_back(int(m_visits.size()));
        m_visits.push_back(Visit{field, QString()});
    }

    // A run of character data ends at any markup. A run of white space only is left
    // out; any other run belongs to the text of every element it lies in.
    void flushRun()
    {
        if (m_run.isEmpty())
            return;
        if (!m_run.trimmed().isEmpty()) {
            for (const int visit : m_openVisits) {
                m_visits[size_t(visit)].text += m_run;
                m_textSize += m_run.size();
            }
        }
        m_run.clear();
    }

    std::vector<Visit> m_visits;
    // Per open element: the index of its visit, or -1 when it is not one.
    std::vector<int> m_open;
    std::vector<int> m_openVisits;
    QString m_run;
    qint64 m_textSize = 0;
    int m_endsSinceStart = 0;
    bool m_seenRoot = false;
    bool m_walking = true;
};

bool isXmlCharacter(uint c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

bool isClean(const QString& text)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate() || !isXmlCharacter(c.unicode()))
            return false;
    }
    return true;
}

QString sanitizedText(const QString& text)
{
    if (isClean(text))
        return text.trimmed().isEmpty() ? QString() : text;
    QString kept;
    kept.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            kept += c;
            kept += text.at(++i);
        } else if (!c.isSurrogate() && isXmlCharacter(c.unicode())) {
            kept += c;
        }
    }
    return kept.trimmed().isEmpty() ? QString() : kept;
}

// A carriage return written as it is would read back as a line feed, so it is written
// as a character reference.
void writeTextElement(QXmlStreamWriter& writer, const QString& name, const QString& text)
{
    if (!text.contains(QLatin1Char('\r'))) {
        writer.writeTextElement(name, text);
        return;
    }
    writer.writeStartElement(name);
    const QStringList pieces = text.split(QLatin1Char('\r'));
    for (int i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            writer.writeEntityReference(QStringLiteral("#13"));
        if (!pieces.at(i).isEmpty())
            writer.writeCharacters(pieces.at(i));
    }
    writer.writeEndElement();
}

} // namespace

ServerList parse(const QByteArray& bytes, ParseResult* result)
{
    ParseResult outcome = ParseResult::TooLarge;
    Walk walk;
    if (bytes.size() <= kMaxDocumentBytes)
        outcome = walk.read(bytes);
    if (result)
        *result = outcome;

    ServerList entries;
    if (outcome != ParseResult::Ok)
        return entries;
    QString lastName;
    bool lastDefault = false;
    qint64 textSize = 0;
    for (const Visit& visit : walk.visits()) {
        switch (visit.field) {
        case Field::Default:
            lastDefault = visit.text == QLatin1String("true");
            break;
        case Field::Name:
            lastName = visit.text;
            break;
        case Field::Url:
            // A name carried over to many servers multiplies; the list may not hold more
            // text than a file that is accepted.
            textSize += lastName.size() + visit.text.size();
            if (textSize > kMaxDocumentBytes) {
                if (result)
                    *result = ParseResult::TooLarge;
                return {};
            }
            entries.append(ServerEntry{lastName, visit.text, lastDefault});
            break;
        case Field::Other:
            break;
        }
    }
    return entries;
}

ServerList sanitized(const ServerList& entries)
{
    ServerList result;
    result.reserve(entries.size());
    for (const ServerEntry& entry : entries)
        result.append(ServerEntry{sanitizedText(entry.name), sanitizedText(entry.url), entry.isDefault});
    return result;
}

QByteArray serialize(const ServerList& entries)
{
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(kRoot);
    // Entry by entry, so that an oversized list stops at the cap.
    for (const ServerEntry& entry : entries) {
        writer.writeStartElement(kServer);
        writer.writeTextElement(kDefault, entry.isDefault ? QStringLiteral("true") : QStringLiteral("false"));
        writeTextElement(writer, kName, sanitizedText(entry.name));
        writeTextElement(writer, kUrl, sanitizedText(entry.url));
        writer.writeEndElement();
        if (bytes.size() > kMaxDocumentBytes)
            return QByteArray();
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    return bytes;
}

} // namespace ServerListCodec
