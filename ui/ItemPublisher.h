#pragma once
// Where the main window publishes what other programs may watch: the
// playlist and named items as text. The automation layer implements it; the
// window holds one (or none) and never knows more of it.

#include <string>
#include <vector>

class ItemPublisher {
public:
    virtual ~ItemPublisher() = default;
    // Publishes the playlist; false (nothing published) when it is empty.
    virtual bool PublishPlayList(const std::vector<std::string>& playlist) = 0;
    // Sets the named item to `value`; unknown names are ignored.
    virtual void PublishItem(const std::string& item, const std::string& value) = 0;
};
