// The automation service's execute commands: any text reads as one command
// or none, keywords ignore letter case, and what is kept as an argument is
// the sender's own text, never more.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dde/AudioCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const AudioCommand command = ReadAudioCommand(text);
    using Kind = AudioCommand::Kind;
    const std::string_view sent = text.size() > 13 ? text.substr(13) : std::string_view();
    if (command.kind == Kind::SetPlaylist && sent != command.argument) std::abort();
    if (command.kind != Kind::SetPlaylist && !command.argument.empty()) std::abort();
    if (command.kind == Kind::PlayTrack && command.track == 0) std::abort();
    if (command.kind == Kind::OpenDialog && (command.dialog < 1 || command.dialog > 8)) std::abort();

    // The same text in capitals asks for the same thing, apart from a
    // playlist's own letters.
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    const AudioCommand shouted = ReadAudioCommand(upper);
    if (shouted.kind != command.kind || shouted.dialog != command.dialog || shouted.track != command.track) std::abort();
    return 0;
}
