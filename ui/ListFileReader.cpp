#include "ui/ListFileReader.h"

#include <sys/stat.h>

namespace {

constexpr std::size_t kMaxEntry = 255;

// Bytes from memory or from a file through one buffer, with the text-mode
// translation of CR LF into LF. Next() and Peek() return EOF at the end.
class ByteSource {
public:
    explicit ByteSource(std::string_view bytes) : data_(bytes) {}
    explicit ByteSource(std::FILE* file) : file_(file) {}

    int Peek() {
        if (pos_ == data_.size() && !Refill())
            return EOF;
        const unsigned char c = static_cast<unsigned char>(data_[pos_]);
        if (c != '\r')
            return c;
        // A CR counts as dropped only when an LF follows, which may lie in
        // the next buffer: keep the CR in view while refilling.
        if (pos_ + 1 == data_.size() && !Refill())
            return '\r';
        return data_[pos_ + 1] == '\n' ? '\n' : '\r';
    }

    int Next() {
        const int c = Peek();
        if (c == EOF)
            return EOF;
        pos_ += (c == '\n' && data_[pos_] == '\r') ? 2 : 1;
        return c;
    }

private:
    // Moves what is left of the buffer to its front and reads more behind it.
    bool Refill() {
        if (!file_)
            return false;
        buffer_.erase(0, pos_);
        const std::size_t kept = buffer_.size();
        buffer_.resize(kept + kChunk);
        const std::size_t got = std::fread(buffer_.data() + kept, 1, kChunk, file_);
        buffer_.resize(kept + got);
        data_ = buffer_;
        pos_ = 0;
        return got > 0;
    }

    static constexpr std::size_t kChunk = 64 * 1024;
    std::FILE* file_ = nullptr;
    std::string buffer_;
    std::string_view data_;
    std::size_t pos_ = 0;
};

bool IsSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void SkipByteOrderMark(ByteSource& in, std::string& entry) {
    static constexpr unsigned char kMark[] = {0xEF, 0xBB, 0xBF};
    for (unsigned char m : kMark) {
        if (in.Peek() != m)
            return;
        entry += static_cast<char>(in.Next());
    }
    entry.clear();
}

std::vector<std::string> ReadEntries(ByteSource& in) {
    std::vector<std::string> entries;
    std::string entry;
    // A partial mark is not one: its bytes start the first entry, as read.
    SkipByteOrderMark(in, entry);
    while (true) {
        if (entry.empty()) {
            int c = in.Peek();
            while (c == ' ' || c == '\t' || c == '\n' || c == '#') {
                if (c == '#') {
                    while (c != EOF && c != '\n')
                        c = in.Next();
                } else {
                    in.Next();
                }
                c = in.Peek();
            }
            if (c == EOF)
                break;
        }

        bool ended = false;  // by a NUL: the rest of the entry is dropped
        std::size_t length = entry.size();
        for (int c = in.Peek(); length < kMaxEntry && c != EOF && c != '\n'; c = in.Peek()) {
            in.Next();
            ++length;
            if (c == '\0')
                ended = true;
            else if (!ended)
                entry += static_cast<char>(c);
        }
        while (IsSpace(in.Peek()))
            in.Next();
        if (!entry.empty())
            entries.push_back(std::move(entry));
        entry.clear();
    }
    return entries;
}

}  // namespace

std::vector<std::string> ReadListEntries(std::string_view bytes) {
    ByteSource in(bytes);
    return ReadEntries(in);
}

std::vector<std::string> ReadListEntries(std::FILE* file) {
    ByteSource in(file);
    return ReadEntries(in);
}

std::optional<std::vector<std::string>> LoadListFile(const std::string& name) {
    // Only regular files: opening a pipe could block the caller, and a
    // device such as /dev/zero would never end.
    struct stat info;
    if (stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (!file)
        return std::nullopt;
    std::vector<std::string> entries = ReadListEntries(file);
    std::fclose(file);
    return entries;
}

std::string ResolveListEntry(const std::string& entry, const std::filesystem::path& listFolder) {
    namespace fs = std::filesystem;
    if (entry.empty() || listFolder.empty() || entry.find("://") != std::string::npos) return entry;
    const fs::path written(entry);
    std::error_code error;
    if (written.is_absolute() || fs::exists(written, error)) return entry;
    const fs::path beside = listFolder / written;
    if (!fs::exists(beside, error)) return entry;
    return beside.lexically_normal().string();
}
