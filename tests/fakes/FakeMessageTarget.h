#pragma once
// A MessageTarget that records posted messages (from any thread) and answers
// sent ones with a value the test chooses.

#include <mutex>
#include <vector>

#include "platform/framework/MessageTarget.h"

class FakeMessageTarget : public MessageTarget {
public:
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    LRESULT sendAnswer = 1;
    std::vector<Message> sent;

    void PostMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        std::lock_guard<std::mutex> lock(mutex);
        posted.push_back(Message{message, wParam, lParam});
    }
    LRESULT SendMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        sent.push_back(Message{message, wParam, lParam});
        return sendAnswer;
    }

    std::vector<Message> Posted() const {
        std::lock_guard<std::mutex> lock(mutex);
        return posted;
    }
    int PostedCount(UINT message) const {
        std::lock_guard<std::mutex> lock(mutex);
        int n = 0;
        for (const Message& m : posted) n += m.message == message;
        return n;
    }
    // Removes and returns the posted messages, oldest first.
    std::vector<Message> TakePosted() {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<Message> taken;
        taken.swap(posted);
        return taken;
    }

private:
    mutable std::mutex mutex;
    std::vector<Message> posted;
};
