#include "core/RequestBuffer.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace orbisk {

namespace {
const std::string kHeadEnd = "\r\n\r\n";
const std::string kLineEnd = "\r\n";

bool equalsIgnoringCase(const std::string& sText, const char* pName)
{
    const std::string sName(pName);
    return std::equal(sText.begin(), sText.end(), sName.begin(), sName.end(),
        [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

std::string trimmed(const std::string& sText)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    const auto first = std::find_if_not(sText.begin(), sText.end(), isBlank);
    const auto last = std::find_if_not(sText.rbegin(), sText.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

// Calls visit(name, line start, line end) for each header line of the head data[0, iHeadEnd).
template <typename Visit> void forEachHeader(const std::string& sData, std::size_t iHeadEnd, Visit visit)
{
    std::size_t iLine = sData.find(kLineEnd);
    while (iLine < iHeadEnd) {
        const std::size_t iStart = iLine + kLineEnd.size();
        const std::size_t iEnd = std::min(sData.find(kLineEnd, iStart), iHeadEnd);
        const std::size_t iColon = sData.find(':', iStart);
        const std::string sName = iColon < iEnd ? sData.substr(iStart, iColon - iStart) : std::string();
        const std::string sValue = iColon < iEnd ? sData.substr(iColon + 1, iEnd - iColon - 1) : std::string();
        visit(sName, sValue, iStart, iEnd);
        iLine = iEnd;
    }
}
} // namespace

RequestBuffer::RequestBuffer(std::size_t maxHeadBytes, std::size_t maxBodyBytes)
    : m_maxHeadBytes(maxHeadBytes)
    , m_maxBodyBytes(maxBodyBytes)
{ }

RequestBuffer::State RequestBuffer::append(const char* pData, std::size_t size)
{
    m_data.append(pData, size);
    if (m_state == State::Incomplete)
        m_state = frame();
    return m_state;
}

RequestBuffer::State RequestBuffer::state() const
{
    return m_state;
}

RequestBuffer::State RequestBuffer::frame()
{
    if (m_iHeadEnd == std::string::npos) {
        m_iHeadEnd = m_data.find(kHeadEnd, m_iScanFrom);
        m_iScanFrom = m_data.size() < kHeadEnd.size() ? 0 : m_data.size() - kHeadEnd.size() + 1;
    }
    if (m_iHeadEnd == std::string::npos)
        return m_data.size() > m_maxHeadBytes ? State::HandOver : State::Incomplete;
    if (m_iHeadEnd > m_maxHeadBytes)
        return State::HandOver;

    int iLengthHeaders = 0;
    bool isChunked = false;
    std::string sLength;
    forEachHeader(
        m_data, m_iHeadEnd, [&](const std::string& sName, const std::string& sValue, std::size_t, std::size_t) {
            if (equalsIgnoringCase(trimmed(sName), "content-length")) {
                ++iLengthHeaders;
                sLength = trimmed(sValue);
            } else if (equalsIgnoringCase(trimmed(sName), "transfer-encoding")) {
                isChunked = true;
            }
        });
    if (isChunked || iLengthHeaders > 1)
        return State::HandOver;

    std::size_t bodyLength = 0;
    if (iLengthHeaders == 1) {
        const bool isNumber = !sLength.empty() && sLength.size() <= std::numeric_limits<std::size_t>::digits10
            && std::all_of(sLength.begin(), sLength.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (!isNumber)
            return State::HandOver;
        bodyLength = std::stoull(sLength);
        if (bodyLength > m_maxBodyBytes)
            return State::HandOver;
    }
    return m_data.size() >= m_iHeadEnd + kHeadEnd.size() + bodyLength ? State::Complete : State::Incomplete;
}

std::string RequestBuffer::request() const
{
    if (m_iHeadEnd == std::string::npos)
        return m_data;
    std::string sRequest;
    sRequest.reserve(m_data.size());
    std::size_t iCopied = 0;
    forEachHeader(
        m_data, m_iHeadEnd, [&](const std::string& sName, const std::string&, std::size_t iStart, std::size_t iEnd) {
            if (equalsIgnoringCase(trimmed(sName), "range")) {
                sRequest.append(m_data, iCopied, iStart - iCopied);
                iCopied = iEnd + kLineEnd.size();
            }
        });
    sRequest.append(m_data, iCopied, std::string::npos);
    return sRequest;
}

} // namespace orbisk
