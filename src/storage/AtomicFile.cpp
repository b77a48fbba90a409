#include "storage/AtomicFile.h"

#include <QDebug>
#include <QSaveFile>

namespace AtomicFile {

bool write(const QString& path, const QByteArray& bytes, const Verifier& verify)
{
    if (verify && !verify(bytes)) {
        qDebug() << "Not saving" << path << ": the new content does not read back as written";
        return false;
    }

    QSaveFile file(path);
    // Unbuffered, so that a short write shows at write() and not in a flush that
    // QSaveFile::commit() would ignore.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        qDebug() << "Cannot save" << path << ":" << file.errorString();
        return false;
    }

    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            break;
        written += n;
    }
    if (written != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        qDebug() << "Cannot save" << path << ":" << file.errorString() << "(" << written << "of" << bytes.size()
                 << "bytes written); the previous file is kept";
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        qDebug() << "Cannot save" << path << ":" << file.errorString() << "; the previous file is kept";
        return false;
    }
    return true;
}

} // namespace AtomicFile
