#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

namespace orbisk::test {

// Stands in for the system while it lives: every address of the given schemes that the
// client hands to QDesktopServices (browser, file manager, application) is recorded in
// urls instead of being opened.
class OpenedUrls : public QObject
{
    Q_OBJECT

public:
    explicit OpenedUrls(const QStringList& schemes);
    ~OpenedUrls() override;

    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.append(url); }

private:
    QStringList m_schemes;
};

} // namespace orbisk::test
