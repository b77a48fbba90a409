// Plain HTTP request and response of the local service, free of any socket or server library.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace orbisk {

using LocalHttpHeaders = std::vector<std::pair<std::string, std::string>>;

struct LocalRequest
{
    std::string method; // as sent, e.g. "GET"; methods are case-sensitive
    std::string path; // decoded path without the query, e.g. "/api/status"
    LocalHttpHeaders headers; // names as sent; look them up without regard to case
    std::string body;
};

struct LocalResponse
{
    int status = 200;
    std::string contentType;
    LocalHttpHeaders headers; // besides Content-Type and Content-Length
    std::string body;
};

} // namespace orbisk
