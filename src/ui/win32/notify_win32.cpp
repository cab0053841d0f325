// The notification worker: a queue of requests sent one at a time on a thread
// of its own, created on the first notification.
#include "ui/win32/notify_win32.h"

#include <deque>
#include <memory>
#include <optional>

#include "core/program_narrow.h"
#include "core/text.h"
#include "core/win32/http_client.h"
#include "core/win32/known_paths.h"
#include "core/win32/process_state.h"
#include "core/win32/unique_handle.h"
#include "log/install_log.h"
#include "variables/notify_placeholders.h"
#include "variables/os_description.h"
#include "variables/win32/os_version_win32.h"

namespace palisade {
namespace {

struct QueuedRequest {
    HttpRequest request;
    bool secondTry = false;  // an http: address is sent once more when it fails
};

class NotificationWorker {
public:
    NotificationWorker() {
        ::InitializeCriticalSection(&m_lock);
        m_wake.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
        m_thread.reset(::CreateThread(nullptr, 0, &NotificationWorker::Main, this, 0, &m_threadId));
    }
    NotificationWorker(const NotificationWorker&) = delete;
    NotificationWorker& operator=(const NotificationWorker&) = delete;

    bool Running() const { return bool(m_thread) && bool(m_wake); }
    DWORD ThreadId() const { return m_threadId; }

    void Queue(QueuedRequest item) {
        ::EnterCriticalSection(&m_lock);
        m_queue.push_back(std::move(item));
        ::LeaveCriticalSection(&m_lock);
        ::SetEvent(m_wake.get());
    }

    // The worker ends once the queue is empty; the process may end before.
    void Finish(std::uint32_t boundMs) {
        ::EnterCriticalSection(&m_lock);
        m_finishing = true;
        ::LeaveCriticalSection(&m_lock);
        ::SetEvent(m_wake.get());
        ::WaitForSingleObject(m_thread.get(), boundMs);
    }

private:
    static DWORD WINAPI Main(void* self) {
        static_cast<NotificationWorker*>(self)->Serve();
        return 0;
    }

    void Serve() {
        for (;;) {
            std::optional<QueuedRequest> item = Next();
            if (!item) {
                if (Finishing()) return;
                ::WaitForSingleObject(m_wake.get(), INFINITE);
                continue;
            }
            Win32Result<int> answer = SendHttpRequest(item->request);
            bool failed = !answer.ok() || *answer >= 400;
            if (failed && item->secondTry) (void)SendHttpRequest(item->request);
        }
    }

    std::optional<QueuedRequest> Next() {
        ::EnterCriticalSection(&m_lock);
        std::optional<QueuedRequest> item;
        if (!m_queue.empty()) {
            item = std::move(m_queue.front());
            m_queue.pop_front();
        }
        ::LeaveCriticalSection(&m_lock);
        return item;
    }

    bool Finishing() {
        ::EnterCriticalSection(&m_lock);
        bool finishing = m_finishing;
        ::LeaveCriticalSection(&m_lock);
        return finishing;
    }

    // Never destroyed: the process may end while the worker still sends.
    CRITICAL_SECTION m_lock;
    std::deque<QueuedRequest> m_queue;
    bool m_finishing = false;
    UniqueHandle m_wake;
    UniqueHandle m_thread;
    DWORD m_threadId = 0;
};

NotificationWorker* g_worker = nullptr;

struct NotificationSetting {
    NotificationFacts facts;
    std::function<std::string()> logText;
};

NotificationSetting& Setting() {
    static NotificationSetting setting;
    return setting;
}

NotificationWorker* Worker() {
    if (g_worker == nullptr) {
        g_worker = new NotificationWorker();
        Process().finishNotifications = [] { FinishNotifications(); };
    }
    return g_worker->Running() ? g_worker : nullptr;
}

std::string ProblemsForThisRun() {
    NotificationSetting& setting = Setting();
    NotificationFacts facts = setting.facts;
    if (facts.osDescription.empty()) facts.osDescription = DescribeOs(CurrentOsVersion(), 0);
    if (facts.ownPath.empty()) facts.ownPath = OwnModulePath();
    return ProblemsText(facts, setting.logText ? setting.logText() : std::string());
}

}  // namespace

void SetNotificationFacts(NotificationFacts facts, std::function<std::string()> logText) {
    Setting().facts = std::move(facts);
    Setting().logText = std::move(logText);
}

void NotifyEvent(std::string_view address, int value) {
    if (address.empty()) return;
    std::string utf8 = Utf16ToUtf8(DecodeProgramNarrow(address));
    std::string expanded =
        NotifyPlaceholders(utf8, Setting().facts.productVersion, std::uint64_t(Process().startTime), CurrentOsVersion());
    if (expanded.empty()) return;
    std::optional<HttpRequest> request =
        NotificationRequest(expanded, value, value == 1 ? ProblemsForThisRun() : std::string());
    if (!request) {
        TheInstallLog().runLog.AppendWidePieces({u"Notification address refused: ", Utf8ToUtf16(expanded), u"\r\n"});
        return;
    }
    if (NotificationWorker* worker = Worker()) worker->Queue({std::move(*request), IsPlainHttpAddress(expanded)});
}

void FinishNotifications(std::uint32_t boundMs) {
    if (g_worker != nullptr && g_worker->Running()) g_worker->Finish(boundMs);
}

bool IsNotificationThread(DWORD threadId) {
    return g_worker != nullptr && g_worker->Running() && g_worker->ThreadId() == threadId;
}

}  // namespace palisade
