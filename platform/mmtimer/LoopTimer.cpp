#include "platform/mmtimer/LoopTimer.h"

#include <QTimerEvent>
#include <algorithm>

LoopTimer::~LoopTimer() {
    for (auto& [id, event] : events) killTimer(event.qtTimer);
}

std::uint32_t LoopTimer::SetEvent(std::uint32_t periodMs, std::uint32_t, TimerCallback callback,
                                  std::uintptr_t user) {
    if (periodMs == 0 || callback == nullptr) return 0;
    do {
        ++lastId;
    } while (lastId == 0 || events.count(lastId) != 0);
    const auto period = std::chrono::milliseconds(periodMs);
    Event& event = events[lastId];
    event = Event{period, SteadyTime::now() + period, callback, user};
    Arm(event);
    return lastId;
}

bool LoopTimer::KillEvent(std::uint32_t id) {
    const auto found = events.find(id);
    if (found == events.end()) return false;
    killTimer(found->second.qtTimer);
    events.erase(found);
    return true;
}

void LoopTimer::Arm(Event& event) {
    // Rounded up: Qt's timers count whole milliseconds, and a wake-up before
    // the deadline would find no period passed.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(event.next - SteadyTime::now());
    event.qtTimer = startTimer(std::max<std::chrono::milliseconds::rep>(wait.count(), 0), Qt::PreciseTimer);
}

void LoopTimer::timerEvent(QTimerEvent* qtEvent) {
    killTimer(qtEvent->timerId());
    std::uint32_t id = 0;
    for (const auto& [eventId, event] : events)
        if (event.qtTimer == qtEvent->timerId()) id = eventId;
    if (id == 0) return;

    const auto now = SteadyTime::now();
    Event* event = &events.at(id);
    int due = 0;
    for (; event->next <= now; event->next += event->period) ++due;
    const TimerCallback callback = event->callback;
    const std::uintptr_t user = event->user;
    for (int i = 0; i < due; ++i) {
        callback(user);
        // The callback may have killed this timer, or set others.
        if (events.count(id) == 0) return;
    }
    Arm(events.at(id));
}

std::unique_ptr<MultimediaTimer> CreateLoopTimer() { return std::make_unique<LoopTimer>(); }
