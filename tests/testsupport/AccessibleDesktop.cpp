#include "AccessibleDesktop.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace orbisk::test {

namespace {
const int kStartTimeoutMs = 30000;
const int kCallTimeoutMs = 10000;
// Deeper than any window of the client; ends the walk should a tree loop.
const int kMaxDepth = 64;
// The state bit "showing": the element is on the screen, not only visible in principle.
const uint kShowingBit = 25;
const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString kRoot = QStringLiteral("/org/a11y/atspi/accessible/root");

// The first line a starting helper prints on its standard output.
QString firstLine(QProcess& process)
{
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(kStartTimeoutMs))
            return QString();
    }
    return QString::fromUtf8(process.readLine()).trimmed();
}

QDBusMessage call(const QDBusConnection& bus, const QString& sService, const QString& sPath, const QString& sInterface,
    const QString& sMethod, const QVariantList& arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(sService, sPath, sInterface, sMethod);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, kCallTimeoutMs);
}

QVariant firstResult(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() ? reply.arguments().first()
                                                                                      : QVariant();
}

// The unique name of process pid's connection to the bus; empty when it has none.
QString connectionOf(const QDBusConnection& bus, qint64 pid)
{
    const QString sBus = QStringLiteral("org.freedesktop.DBus");
    const QString sBusPath = QStringLiteral("/org/freedesktop/DBus");
    const QStringList names = firstResult(call(bus, sBus, sBusPath, sBus, QStringLiteral("ListNames"))).toStringList();
    for (const QString& sName : names) {
        if (!sName.startsWith(QLatin1Char(':')))
            continue;
        const QVariant owner
            = firstResult(call(bus, sBus, sBusPath, sBus, QStringLiteral("GetConnectionUnixProcessID"), {sName}));
        if (owner.isValid() && owner.toLongLong() == pid)
            return sName;
    }
    return QString();
}
} // namespace

AccessibleDesktop::~AccessibleDesktop()
{
    if (!m_sBusName.isEmpty())
        QDBusConnection::disconnectFromBus(m_sBusName);
    // The accessibility bus ends with the session bus it was started from.
    for (QProcess* process : {&m_sessionBus, &m_xServer}) {
        process->terminate();
        if (!process->waitForFinished(kStartTimeoutMs))
            process->kill();
    }
}

bool AccessibleDesktop::start()
{
    const QString xServer = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString sessionBus = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (xServer.isEmpty() || sessionBus.isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        m_sError = QStringLiteral("Xvfb, dbus-daemon or xdotool is missing (scripts/install-deps installs them)");
        return false;
    }
    // The X server picks a free display itself and prints its number once it accepts clients.
    // Without -noreset it resets whenever its last client leaves (the readiness check below
    // is one) and refuses a client that comes meanwhile.
    m_xServer.setProgram(xServer);
    m_xServer.setArguments(
        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"), QStringLiteral("-nolisten"),
            QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x800x24")});
    m_xServer.start();
    const QString sNumber = firstLine(m_xServer);
    if (sNumber.isEmpty()) {
        m_sError = QStringLiteral("Xvfb did not start: ") + QString::fromLocal8Bit(m_xServer.readAllStandardError());
        return false;
    }
    m_sDisplay = QLatin1Char(':') + sNumber;
    // The display counts as ready once a client is let in.
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!runXdotool({QStringLiteral("getdisplaygeometry")})) {
        if (deadline.hasExpired()) {
            m_sError = QStringLiteral("Xvfb takes no clients on ") + m_sDisplay;
            return false;
        }
    }

    // Services the session bus starts, the accessibility bus among them, inherit its
    // environment. Without a display the accessibility bus does not announce itself on the
    // X server: Qt 5.15 takes that announcement too early to switch its accessibility on,
    // while it does notice the bus on the session bus whenever it starts.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    const QString runtimeDir = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!runtimeDir.isEmpty()) {
        QDir().mkpath(runtimeDir);
        QFile::setPermissions(runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    m_sessionBus.setProcessEnvironment(environment);
    m_sessionBus.setProgram(sessionBus);
    m_sessionBus.setArguments(
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    m_sessionBus.start();
    m_sSessionAddress = firstLine(m_sessionBus);
    if (m_sSessionAddress.isEmpty()) {
        m_sError = QStringLiteral("dbus-daemon did not start: ")
            + QString::fromLocal8Bit(m_sessionBus.readAllStandardError());
        return false;
    }
    return true;
}

bool AccessibleDesktop::connectAccessibilityBus(qint64 pid)
{
    if (!m_sBusName.isEmpty())
        return true;
    // Qt 5.15 switches its accessibility on when it sees the accessibility bus start, but
    // misses it when the bus runs already as it starts (as a desktop session would have it).
    // So the bus is started once the client shows a window: by then Qt watches for it.
    if (visibleWindowCount(pid) == 0)
        return false;
    const QString sSessionName = QStringLiteral("orbisk-test-session-%1").arg(quintptr(this));
    QString sAddress;
    {
        const QDBusConnection session = QDBusConnection::connectToBus(m_sSessionAddress, sSessionName);
        sAddress = firstResult(call(session, QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                   QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")))
                       .toString();
    }
    QDBusConnection::disconnectFromBus(sSessionName);
    const QString sBusName = QStringLiteral("orbisk-test-accessibility-%1").arg(quintptr(this));
    if (sAddress.isEmpty() || !QDBusConnection::connectToBus(sAddress, sBusName).isConnected()) {
        QDBusConnection::disconnectFromBus(sBusName);
        return false;
    }
    m_sBusName = sBusName;
    return true;
}

QMap<QString, QString> AccessibleDesktop::clientEnvironment() const
{
    return {{QStringLiteral("DISPLAY"), m_sDisplay}, {QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_sSessionAddress},
        {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb")},
        {QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1")}};
}

QList<AccessibleDesktop::Element> AccessibleDesktop::elements(qint64 pid)
{
    if (!connectAccessibilityBus(pid))
        return {};
    QList<Element> found;
    const QString sService = connectionOf(QDBusConnection(m_sBusName), pid);
    if (!sService.isEmpty())
        collect(sService, kRoot, &found, 0);
    return found;
}

void AccessibleDesktop::collect(const QString& sService, const QString& sPath, QList<Element>* pElements, int depth)
{
    const QDBusConnection bus(m_sBusName);
    Element element;
    element.service = sService;
    element.path = sPath;
    element.role = firstResult(call(bus, sService, sPath, kAccessible, QStringLiteral("GetRoleName"))).toString();
    element.name = firstResult(call(bus, sService, sPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("Get"), {kAccessible, QStringLiteral("Name")}))
                       .value<QDBusVariant>()
                       .variant()
                       .toString();
    const QVariant state = firstResult(call(bus, sService, sPath, kAccessible, QStringLiteral("GetState")));
    QList<uint> words;
    if (state.canConvert<QDBusArgument>())
        state.value<QDBusArgument>() >> words;
    element.isShowing = !words.isEmpty() && (words.first() & (1u << kShowingBit));
    pElements->append(element);
    if (depth >= kMaxDepth)
        return;

    const QVariant children = firstResult(call(bus, sService, sPath, kAccessible, QStringLiteral("GetChildren")));
    if (!children.canConvert<QDBusArgument>())
        return;
    const QDBusArgument list = children.value<QDBusArgument>();
    QList<QPair<QString, QString>> childPaths;
    list.beginArray();
    while (!list.atEnd()) {
        QString sChildService;
        QDBusObjectPath childPath;
        list.beginStructure();
        list >> sChildService >> childPath;
        list.endStructure();
        childPaths.append({sChildService, childPath.path()});
    }
    list.endArray();
    for (const auto& child : childPaths)
        collect(child.first, child.second, pElements, depth + 1);
}

AccessibleDesktop::Element AccessibleDesktop::find(qint64 pid, const QString& sRole, const QString& sName)
{
    const QList<Element> all = elements(pid);
    for (const Element& element : all) {
        if (element.role == sRole && (sName.isNull() || element.name == sName))
            return element;
    }
    return Element();
}

bool AccessibleDesktop::press(const Element& element)
{
    // Sent without waiting for the answer: an action that opens a modal dialog answers
    // only once the dialog has closed.
    QDBusMessage message = QDBusMessage::createMethodCall(
        element.service, element.path, QStringLiteral("org.a11y.atspi.Action"), QStringLiteral("DoAction"));
    message.setArguments({0});
    return QDBusConnection(m_sBusName).send(message);
}

QRect AccessibleDesktop::extents(const Element& element)
{
    // Coordinates of the screen, not of the window.
    const QVariant box = firstResult(call(QDBusConnection(m_sBusName), element.service, element.path,
        QStringLiteral("org.a11y.atspi.Component"), QStringLiteral("GetExtents"), {0u}));
    int x = 0, y = 0, width = 0, height = 0;
    if (!box.canConvert<QDBusArgument>())
        return QRect();
    const QDBusArgument argument = box.value<QDBusArgument>();
    argument.beginStructure();
    argument >> x >> y >> width >> height;
    argument.endStructure();
    return QRect(x, y, width, height);
}

bool AccessibleDesktop::click(const QPoint& point)
{
    return runXdotool({QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()),
        QStringLiteral("click"), QStringLiteral("1")});
}

int AccessibleDesktop::visibleWindowCount(qint64 pid) const
{
    QString sOutput;
    runXdotool(
        {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), QString::number(pid)},
        &sOutput);
    return sOutput.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size();
}

bool AccessibleDesktop::runXdotool(const QStringList& arguments, QString* pOutput) const
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_sDisplay);
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral("xdotool"), arguments);
    const bool isDone = tool.waitForFinished(kCallTimeoutMs) && tool.exitStatus() == QProcess::NormalExit;
    if (pOutput)
        *pOutput = QString::fromUtf8(tool.readAllStandardOutput());
    return isDone && tool.exitCode() == 0;
}

} // namespace orbisk::test
