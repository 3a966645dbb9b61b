#include "mpxdec/ErrorReport.h"

#include "mpxdec/Status.h"

namespace mpxdec {

std::uint32_t ErrorReport::Record(std::uint32_t status, std::string text)
{
    status_ = status;
    text_ = std::move(text);
    return status;
}

bool ErrorReport::TextFor(std::uint32_t status, std::string* text) const
{
    if (status != 0 && status == status_ && !text_.empty()) {
        *text = text_;
        return true;
    }
    const char* generic = GenericText(status);
    if (generic == nullptr) {
        return false;
    }
    *text = generic;
    return true;
}

}  // namespace mpxdec
