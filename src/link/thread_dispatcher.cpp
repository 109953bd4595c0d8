// A do-nothing event dispatcher installed on threads without one, so port notifiers stay quiet.
#include "link/thread_dispatcher.h"

#include <QAbstractEventDispatcher>
#include <QThread>

namespace nlx::link {
namespace {

class PassiveDispatcher final : public QAbstractEventDispatcher {
public:
    bool processEvents(QEventLoop::ProcessEventsFlags) override { return false; }
    void registerSocketNotifier(QSocketNotifier*) override {}
    void unregisterSocketNotifier(QSocketNotifier*) override {}
    void registerTimer(int, qint64, Qt::TimerType, QObject*) override {}
    bool unregisterTimer(int) override { return false; }
    bool unregisterTimers(QObject*) override { return false; }
    QList<TimerInfo> registeredTimers(QObject*) const override { return {}; }
    int remainingTime(int) override { return -1; }
    void wakeUp() override {}
    void interrupt() override {}
};

}  // namespace

void ensure_thread_dispatcher() {
    QThread* thread = QThread::currentThread();
    // The thread owns the dispatcher from here on and deletes it when it ends.
    if (thread && !thread->eventDispatcher()) thread->setEventDispatcher(new PassiveDispatcher);
}

}  // namespace nlx::link
