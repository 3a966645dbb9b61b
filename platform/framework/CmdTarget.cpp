#include "platform/framework/CmdTarget.h"

namespace {
bool Matches(const MessageEntry& entry, UINT message, WPARAM wParam, LPARAM lParam) {
    if (entry.message != message) return false;
    if (entry.kind == MessageEntry::Kind::Message) return true;
    const UINT id = CommandId(wParam);
    if (id < entry.firstId || id > entry.lastId) return false;
    const UINT code = CommandCode(wParam);
    if (entry.kind == MessageEntry::Kind::Notify) return code == entry.code;
    // An accelerator sends code 1 with no control; a control's code 1 is a
    // notification of its own and must not look like a command.
    return code == 0 || (code == 1 && lParam == 0);
}
}  // namespace

const MessageMap* CmdTarget::MessageTable() {
    static const MessageMap table{nullptr, {}};
    return &table;
}

bool CmdTarget::DispatchMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    for (const MessageMap* table = GetMessageMap(); table; table = table->base) {
        for (const MessageEntry& entry : table->entries) {
            if (Matches(entry, message, wParam, lParam)) {
                result = (this->*entry.handler)(wParam, lParam);
                return true;
            }
        }
    }
    return false;
}
