// The installer's HTTP event notifications (start, installation begin,
// completion, cancel, error, link click, uninstallation): NotifyEvent queues a
// request to a worker thread, created on first use, that sends them one at a
// time; the orderly exit waits for the queue for a bounded time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/notification_request.h"

namespace palisade {

// How long the orderly exit waits for queued notifications: long enough for
// a reachable server, short enough that an unreachable one cannot keep a
// finished installation open (each request's own time-out is 30 s).
inline constexpr std::uint32_t kNotificationExitWaitMs = 5000;

// The product, system and log the run's notifications describe; `logText`
// gives the whole installation log (UTF-8) when an error is reported.
void SetNotificationFacts(NotificationFacts facts, std::function<std::string()> logText);

// Sends the notification for `address` (program-narrow text) in the
// background: nothing for an empty address; placeholders replaced; value 0
// sends a GET, value 1 posts the "problems" form with the log. An address
// that is not http: or https: is refused and named in the run log. The caller
// never waits, and failures are ignored.
void NotifyEvent(std::string_view address, int value);

// Lets the worker finish its queue and waits for it at most `boundMs`.
void FinishNotifications(std::uint32_t boundMs = kNotificationExitWaitMs);

// Whether `threadId` is the notification worker.
bool IsNotificationThread(DWORD threadId);

}  // namespace palisade
