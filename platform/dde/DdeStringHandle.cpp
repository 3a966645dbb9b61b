#include "platform/dde/DdeStringHandle.h"

#include <QString>
#include <functional>

DdeStringHandle::DdeStringHandle(std::string_view text)
    : null(false),
      text(text),
      // Full case folding, so that names in any script compare as people read them.
      key(QString::fromUtf8(text.data(), qsizetype(text.size())).toCaseFolded().toStdString()) {}

std::size_t DdeStringHandleHash::operator()(const DdeStringHandle& handle) const {
    return std::hash<std::string>()(handle.Key());
}
