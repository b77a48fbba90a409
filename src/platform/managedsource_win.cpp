// The managed configuration on Windows: converts the Qt-free policy key reader in win/.

#include "platform/managedsource.h"
#include "platform/win/PolicyKey.h"

#include <QByteArray>
#include <QStringList>
#include <QVariant>

namespace orbisk::platform {

static_assert(static_cast<qint64>(win::kMaxPolicyBytes) == kMaxManagedSourceBytes);

namespace {

QVariant variantOf(const win::PolicyValue& value)
{
    switch (value.type) {
    case win::PolicyValueType::String:
        return QString::fromStdWString(value.text);
    case win::PolicyValueType::MultiString: {
        QStringList list;
        for (const std::wstring& entry : value.list)
            list.append(QString::fromStdWString(entry));
        return list;
    }
    case win::PolicyValueType::Dword:
        return uint{value.number};
    case win::PolicyValueType::Other:
        break;
    }
    return QByteArray(reinterpret_cast<const char*>(value.bytes.data()), static_cast<int>(value.bytes.size()));
}

} // namespace

ManagedSource readManagedSource()
{
    ManagedSource source;
    source.sLocation = QStringLiteral("HKEY_LOCAL_MACHINE\\") + QString::fromWCharArray(win::kPolicyKeyPath);
    const win::PolicyKeyContents contents = win::readPolicyKey();
    if (contents.status == win::PolicyKeyStatus::Failed) {
        source.sProblem = QString::fromStdWString(contents.reason);
        return source;
    }
    for (const win::PolicyValue& value : contents.values)
        source.values.insert(QString::fromStdWString(value.name), variantOf(value));
    return source;
}

} // namespace orbisk::platform
