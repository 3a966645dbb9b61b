// The reader's side of saving: the bytes kept until the player decides, and
// the file that receives them and every later byte (written in OnBody).

#include "mpxdec/HttpReader.h"

namespace mpxdec {

bool HttpReader::SaveTo(const std::string& path, std::string* error)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (save_.Started()) {
        *error = "The stream is already being saved";
        return false;
    }
    if (!save_.Open(path, error)) {
        return false;
    }
    keepHistory_ = false;
    save_.Write(history_.data(), history_.size());
    history_.clear();
    history_.shrink_to_fit();
    if (state_.finished) {
        save_.Close();
    }
    *error = save_.Error();
    bool ok = error->empty();
    bool wake = paused_;
    lock.unlock();
    if (wake) {
        curl_multi_wakeup(multi_);
    }
    return ok;
}

void HttpReader::SetSaveOnly()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        saveOnly_ = true;
        queue_.Clear();
    }
    curl_multi_wakeup(multi_);
}

void HttpReader::DropHistory()
{
    std::lock_guard<std::mutex> lock(mutex_);
    keepHistory_ = false;
    history_.clear();
    history_.shrink_to_fit();
}

bool HttpReader::SaveComplete() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return save_.Complete();
}

std::string HttpReader::SaveError() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return save_.Error();
}

}  // namespace mpxdec
