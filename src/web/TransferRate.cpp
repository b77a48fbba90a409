#include "web/TransferRate.h"

void TransferRate::addSample(qint64 msecs, qint64 bytes)
{
    m_samples.append({msecs, bytes});
    // Keep one sample at or beyond the window's start, so the rate always spans it.
    while (m_samples.size() > 2 && msecs - m_samples.at(1).msecs >= kWindowMs)
        m_samples.removeFirst();
}

qint64 TransferRate::bytesPerSecond() const
{
    if (m_samples.size() < 2)
        return 0;
    const Sample& first = m_samples.first();
    const Sample& last = m_samples.last();
    const qint64 elapsed = last.msecs - first.msecs;
    if (elapsed <= 0)
        return 0;
    return qMax<qint64>(0, (last.bytes - first.bytes) * 1000 / elapsed);
}
