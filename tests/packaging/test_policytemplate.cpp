// The Group Policy template in packaging/windows/policy against the client's managed
// configuration: both files are well-formed, the ADMX sets exactly the keys the client
// knows, as machine policies below its policy key, and every text it refers to is in
// the English ADML.
#include "core/ManagedConfig.h"

#include <QtTest>

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {

const QString kNamespace = QStringLiteral("http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions");
const QString kPolicyKey = QStringLiteral("Software\\Policies\\Orbisk\\Client");

struct Element
{
    QString name;
    QString namespaceUri;
    QXmlStreamAttributes attributes;
};

// Every element of the file in document order; on an XML error, why.
QString readElements(const QString& path, QVector<Element>& elements)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return path + QStringLiteral(": ") + file.errorString();
    QXmlStreamReader reader(&file);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            elements.append({reader.name().toString(), reader.namespaceUri().toString(), reader.attributes()});
    }
    if (reader.hasError())
        return QStringLiteral("%1:%2: %3").arg(path).arg(reader.lineNumber()).arg(reader.errorString());
    return {};
}

QStringList sorted(QStringList list)
{
    list.removeDuplicates();
    list.sort();
    return list;
}

} // namespace

class TestPolicyTemplate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        for (const auto& [path, elements] :
            {std::pair(QStringLiteral(ORBISK_POLICY_DIR "/orbisk-client.admx"), &m_admx),
                std::pair(QStringLiteral(ORBISK_POLICY_DIR "/en-US/orbisk-client.adml"), &m_adml)}) {
            const QString error = readElements(path, *elements);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QVERIFY(!elements->isEmpty());
            QCOMPARE(elements->first().namespaceUri, kNamespace);
        }
    }

    void valueNamesAreTheManagedKeys()
    {
        QStringList valueNames;
        for (const Element& element : qAsConst(m_admx)) {
            if (element.attributes.hasAttribute(QLatin1String("valueName")))
                valueNames.append(element.attributes.value(QLatin1String("valueName")).toString());
            if (element.attributes.hasAttribute(QLatin1String("key")))
                QCOMPARE(element.attributes.value(QLatin1String("key")).toString(), kPolicyKey);
            if (element.name == QLatin1String("policy"))
                QCOMPARE(element.attributes.value(QLatin1String("class")).toString(), QStringLiteral("Machine"));
        }
        QCOMPARE(sorted(valueNames), sorted(orbisk::ManagedConfig::keys()));
    }

    void referencedTextsAreDefined()
    {
        QStringList defined;
        for (const Element& element : qAsConst(m_adml)) {
            if (element.name == QLatin1String("string") || element.name == QLatin1String("presentation"))
                defined.append(element.name + QLatin1Char('.') + element.attributes.value(QLatin1String("id")));
        }
        static const QRegularExpression kReference(QStringLiteral("^\\$\\(((?:string|presentation)\\.[^)]+)\\)$"));
        QStringList undefined;
        int references = 0;
        for (const Element& element : qAsConst(m_admx)) {
            for (const QXmlStreamAttribute& attribute : element.attributes) {
                const QRegularExpressionMatch match = kReference.match(attribute.value());
                if (!match.hasMatch())
                    continue;
                ++references;
                if (!defined.contains(match.captured(1)))
                    undefined.append(match.captured(1));
            }
        }
        QVERIFY(references > 0);
        QVERIFY2(
            undefined.isEmpty(), qPrintable(QStringLiteral("not in the ADML: ") + undefined.join(QLatin1String(", "))));
    }

private:
    QVector<Element> m_admx;
    QVector<Element> m_adml;
};

QTEST_GUILESS_MAIN(TestPolicyTemplate)
#include "test_policytemplate.moc"
