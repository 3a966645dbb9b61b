#pragma once
// The name of a service, topic or item, compared without regard to letter
// case: two names that differ only in case are the same handle, so every
// table keyed by handles matches names case-insensitively. A default handle
// is null and equals only another null handle.

#include <cstddef>
#include <string>
#include <string_view>

class DdeStringHandle {
public:
    DdeStringHandle() = default;
    explicit DdeStringHandle(std::string_view text);

    bool IsNull() const { return null; }
    // The name as it was first written, for display.
    const std::string& Text() const { return text; }
    // The case-folded form that equality and hashing use.
    const std::string& Key() const { return key; }

    bool operator==(const DdeStringHandle& other) const { return null == other.null && key == other.key; }

private:
    bool null = true;
    std::string text;
    std::string key;
};

struct DdeStringHandleHash {
    std::size_t operator()(const DdeStringHandle& handle) const;
};
