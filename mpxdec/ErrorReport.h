#pragma once
// Remembers the precise text of the last error, so the error-text command
// can tell more than the status alone ("HTTP 404 Not Found", not just
// "HTTP error").

#include <cstdint>
#include <string>

namespace mpxdec {

class ErrorReport {
public:
    // Records text for status and returns status, for `return Record(...)`.
    std::uint32_t Record(std::uint32_t status, std::string text);
    // The text for status: the recorded one when it is the last error,
    // otherwise the general one. False for statuses that are no error of ours.
    bool TextFor(std::uint32_t status, std::string* text) const;

private:
    std::uint32_t status_ = 0;
    std::string text_;
};

}  // namespace mpxdec
