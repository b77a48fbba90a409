#pragma once

#include <QMetaType>
#include <QString>
#include <QVector>

// One known transfer server. The URL is the key by which entries are found.
struct ServerEntry
{
    QString name;
    QString url;
    bool isDefault = false;

    bool operator==(const ServerEntry& other) const
    {
        return name == other.name && url == other.url && isDefault == other.isDefault;
    }
};

using ServerList = QVector<ServerEntry>;

Q_DECLARE_METATYPE(ServerEntry)
Q_DECLARE_METATYPE(ServerList)

// The text a server is shown with in the picker, the combo box and the server menu.
inline QString serverDisplayText(const ServerEntry& entry)
{
    return entry.name + QStringLiteral(" (") + entry.url + QStringLiteral(")");
}
