#pragma once

#include <string>

namespace zhpserver {

// The verdict on a complete request head (request line and headers up to the
// blank line) before any worker sees it.
struct HeadCheck
{
    int status = 0;      // 0: acceptable; otherwise the status to refuse with
    std::string message; // why it is refused
    bool heavy = false;  // a request of the heavy lane (datasource queries)
};

// Refuses heads with more than `maxLines` header lines, header lines that are
// not "Name: value", a Content-Length that is not a number or is given twice
// with different values, Content-Length together with Transfer-Encoding
// (400), and a declared body over `maxBody` bytes (413). Everything else is
// left to the HTTP parser.
HeadCheck checkHead(const std::string &head, int maxLines, size_t maxBody);

} // namespace zhpserver
