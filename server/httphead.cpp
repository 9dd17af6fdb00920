#include "httphead.h"

#include <cctype>
#include <cstring>

namespace zhpserver {

namespace {

bool sameName(const char *begin, size_t length, const char *name)
{
    if (length != std::strlen(name))
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(begin[i])) != name[i])
            return false;
    }
    return true;
}

std::string trimmed(const std::string &s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

HeadCheck refuse(int status, std::string message)
{
    HeadCheck c;
    c.status = status;
    c.message = std::move(message);
    return c;
}

} // namespace

HeadCheck checkHead(const std::string &head, int maxLines, size_t maxBody)
{
    size_t lineEnd = head.find("\r\n");
    if (lineEnd == std::string::npos)
        return refuse(400, "the request line is not terminated");
    const std::string requestLine = head.substr(0, lineEnd);
    const size_t targetStart = requestLine.find(' ');
    const size_t targetEnd = targetStart == std::string::npos ? std::string::npos : requestLine.find(' ', targetStart + 1);
    if (targetStart == std::string::npos || targetEnd == std::string::npos)
        return refuse(400, "the request line is not \"METHOD target HTTP/1.x\"");
    const std::string target = requestLine.substr(targetStart + 1, targetEnd - targetStart - 1);

    int lines = 0;
    bool hasLength = false, chunked = false;
    unsigned long long length = 0;
    for (size_t start = lineEnd + 2; start < head.size();) {
        const size_t end = head.find("\r\n", start);
        if (end == std::string::npos || end == start)
            break;
        if (++lines > maxLines)
            return refuse(431, "more than " + std::to_string(maxLines) + " header lines");
        const size_t colon = head.find(':', start);
        if (colon == std::string::npos || colon > end || colon == start)
            return refuse(400, "header line " + std::to_string(lines) + " is not \"Name: value\"");
        const char *name = head.data() + start;
        const size_t nameLength = colon - start;
        if (sameName(name, nameLength, "content-length")) {
            const std::string value = trimmed(head.substr(colon + 1, end - colon - 1));
            if (value.empty() || value.size() > 18 || value.find_first_not_of("0123456789") != std::string::npos)
                return refuse(400, "Content-Length is not a number of bytes");
            const unsigned long long v = std::stoull(value);
            if (hasLength && v != length)
                return refuse(400, "conflicting Content-Length headers");
            hasLength = true;
            length = v;
        } else if (sameName(name, nameLength, "transfer-encoding")) {
            chunked = true;
        }
        start = end + 2;
    }
    if (hasLength && chunked)
        return refuse(400, "Content-Length and Transfer-Encoding together");
    if (hasLength && length > maxBody)
        return refuse(413, "request body of " + std::to_string(length) + " bytes is larger than the limit of " + std::to_string(maxBody));
    HeadCheck ok;
    ok.heavy = target.compare(0, 12, "/datasource/") == 0;
    return ok;
}

} // namespace zhpserver
