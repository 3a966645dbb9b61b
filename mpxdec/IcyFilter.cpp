#include "mpxdec/IcyFilter.h"

#include <algorithm>

#include "mpxdec/TextCopy.h"

namespace mpxdec {

IcyFilter::IcyFilter(std::size_t interval) : interval_(interval), audioLeft_(interval) {}

void IcyFilter::Filter(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& audio)
{
    if (interval_ == 0) {
        audio.insert(audio.end(), data, data + size);
        return;
    }
    std::size_t i = 0;
    while (i < size) {
        switch (state_) {
        case State::Audio: {
            std::size_t n = std::min(audioLeft_, size - i);
            audio.insert(audio.end(), data + i, data + i + n);
            i += n;
            audioLeft_ -= n;
            if (audioLeft_ == 0) {
                state_ = State::Length;
            }
            break;
        }
        case State::Length:
            textLeft_ = static_cast<std::size_t>(data[i++]) * 16;
            block_.clear();
            state_ = textLeft_ > 0 ? State::Text : State::Audio;
            audioLeft_ = interval_;
            break;
        case State::Text: {
            std::size_t n = std::min(textLeft_, size - i);
            block_.append(reinterpret_cast<const char*>(data + i), n);
            i += n;
            textLeft_ -= n;
            if (textLeft_ == 0) {
                ParseBlock();
                state_ = State::Audio;
            }
            break;
        }
        }
    }
}

void IcyFilter::ParseBlock()
{
    static const std::string kKey = "StreamTitle='";
    std::size_t start = block_.find(kKey);
    if (start == std::string::npos) {
        return;
    }
    start += kKey.size();
    // A title may itself hold an apostrophe, so only "';" ends it.
    std::size_t end = block_.find("';", start);
    if (end == std::string::npos) {
        end = block_.find_last_of('\'');
        if (end == std::string::npos || end < start) {
            end = block_.find('\0', start);
        }
    }
    std::string title = block_.substr(start, end == std::string::npos ? std::string::npos : end - start);
    title_ = IsUtf8(title) ? title : Latin1ToUtf8(title);
    newTitle_ = true;
}

bool IcyFilter::TakeTitle(std::string* title)
{
    if (!newTitle_) {
        return false;
    }
    newTitle_ = false;
    *title = title_;
    return true;
}

}  // namespace mpxdec
