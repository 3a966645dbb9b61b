#pragma once
// An owner window's message queue without a window: posts from any thread
// (the timer's) are queued, and the driving thread takes them in order, as a
// message loop would. Sent messages are answered with 1 (go on).

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/framework/MessageTarget.h"

class QueuedMessageTarget : public MessageTarget {
public:
    void PostMessage(UINT message, WPARAM, LPARAM) override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            queue.push_back(message);
        }
        posted.notify_one();
    }
    LRESULT SendMessage(UINT, WPARAM, LPARAM) override { return 1; }

    // Takes the oldest posted message; false when none came within the timeout.
    bool Wait(UINT* message, std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex);
        if (!posted.wait_for(lock, timeout, [this] { return !queue.empty(); })) return false;
        *message = queue.front();
        queue.pop_front();
        return true;
    }

private:
    std::mutex mutex;
    std::condition_variable posted;
    std::deque<UINT> queue;
};
