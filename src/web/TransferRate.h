#pragma once

#include <QVector>
#include <QtGlobal>

// The speed of a transfer over its last few seconds, from samples of the bytes
// received so far and the time they were taken.
class TransferRate
{
public:
    // Samples older than this no longer count.
    static constexpr qint64 kWindowMs = 3000;

    // Records that bytes had arrived in total at msecs (a monotonic clock).
    void addSample(qint64 msecs, qint64 bytes);
    // Bytes per second across the window; 0 until two samples lie apart in time.
    qint64 bytesPerSecond() const;

private:
    struct Sample
    {
        qint64 msecs;
        qint64 bytes;
    };
    QVector<Sample> m_samples;
};
