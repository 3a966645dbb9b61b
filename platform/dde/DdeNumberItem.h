#pragma once
// An item whose text starts with a number: text that does not begin with a
// digit or '-' is refused (nothing changes, no advise). Accepted text is kept
// whole, trailing characters included; `number` holds its integer reading
// (a lone '-' reads 0).

#include <cstdint>
#include <string>

#include "platform/dde/DdeItem.h"

class DdeNumberItem : public DdeItem {
public:
    using DdeItem::DdeItem;

    bool SetValue(const std::string& text) override;
    // Sets the decimal text of n ("%ld": a leading '-' for negatives).
    bool SetNumber(long n);

    std::int32_t number = 0;
};
