#include "mpris/PlayableUri.h"

#include <sys/stat.h>
#include <unistd.h>

#include "mpris/MprisNames.h"
#include "mpris/TrackMetadata.h"
#include "platform/shell/FileUri.h"

namespace {
// Error texts quote at most this much of what the client sent.
constexpr int kShownCharacters = 200;

QString Shown(const QString& uri) {
    return uri.size() <= kShownCharacters ? uri : uri.left(kShownCharacters) + QStringLiteral("...");
}

UriRefusal Refusal(const QString& name, const QString& text) { return UriRefusal{name, text}; }

bool HasScheme(const QString& uri) {
    const qsizetype colon = uri.indexOf(':');
    if (colon <= 0 || !uri[0].isLetter()) return false;
    for (qsizetype i = 1; i < colon; ++i) {
        const QChar c = uri[i];
        if (!(c.isLetterOrNumber() || c == '+' || c == '-' || c == '.') || c.unicode() > 0x7F) return false;
    }
    return true;
}
}  // namespace

std::optional<UriRefusal> RefuseUnplayableUri(const QString& uri) {
    const QByteArray bytes = uri.toUtf8();
    if (bytes.size() > mpris::kMaxUriBytes)
        return Refusal(mpris::kErrorLimitsExceeded, QStringLiteral("The location is longer than 64 KiB"));
    if (uri.trimmed().isEmpty()) return Refusal(mpris::kErrorInvalidArgs, QStringLiteral("No location given"));
    const std::string text = bytes.toStdString();

    if (IsNetworkLocation(text)) return std::nullopt;
    if (!IsFileUri(text)) {
        if (!HasScheme(uri))
            return Refusal(mpris::kErrorInvalidArgs, QStringLiteral("Not a location (a URI such as file:///... "
                                                                    "or https://...): %1").arg(Shown(uri)));
        return Refusal(mpris::kErrorNotSupported,
                       QStringLiteral("Brelune3 plays file, http and https locations only: %1").arg(Shown(uri)));
    }
    const std::optional<std::string> path = LocalPathFromFileUri(text);
    if (!path)
        return Refusal(mpris::kErrorInvalidArgs,
                       QStringLiteral("Not a file on this computer, or wrongly encoded: %1").arg(Shown(uri)));
    struct stat info {};
    if (stat(path->c_str(), &info) != 0)
        return Refusal(mpris::kErrorFileNotFound, QStringLiteral("No such file: %1").arg(Shown(uri)));
    if (S_ISDIR(info.st_mode))
        return Refusal(mpris::kErrorNotSupported, QStringLiteral("This is a folder, not a file: %1").arg(Shown(uri)));
    if (!S_ISREG(info.st_mode))
        return Refusal(mpris::kErrorNotSupported, QStringLiteral("This is not a regular file: %1").arg(Shown(uri)));
    if (access(path->c_str(), R_OK) != 0)
        return Refusal(mpris::kErrorAccessDenied, QStringLiteral("The file cannot be read: %1").arg(Shown(uri)));
    return std::nullopt;
}
