#pragma once

#include <cstddef>
#include <string>

namespace orbisk {

// The bytes of one HTTP request as they arrive on a connection of the local service. It
// tells when the request is complete (the head up to its blank line, and the body that
// Content-Length announces), so the service gives a connection to a worker only once the
// worker has nothing left to wait for: a client that sends slowly or not at all holds no
// worker, however many such clients there are.
class RequestBuffer
{
public:
    enum class State {
        Incomplete, // more bytes are needed
        Complete, // the whole request is here
        // The HTTP layer decides by reading itself: a head over the size limit, a body
        // announced over the limit (refused without reading it), a Content-Length that is
        // not one number, a body in chunks.
        HandOver,
    };

    RequestBuffer(std::size_t maxHeadBytes, std::size_t maxBodyBytes);

    // Adds received bytes; returns the state after them. Bytes added once the state is no
    // longer Incomplete are kept but change nothing.
    State append(const char* pData, std::size_t size);
    State state() const;

    // The request as received, less its Range headers: the service's answers are small
    // JSON documents that are always sent whole.
    std::string request() const;

private:
    State frame();

    std::size_t m_maxHeadBytes;
    std::size_t m_maxBodyBytes;
    std::string m_data;
    std::size_t m_iHeadEnd = std::string::npos; // offset of the blank line's CRLF CRLF
    std::size_t m_iScanFrom = 0;
    State m_state = State::Incomplete;
};

} // namespace orbisk
