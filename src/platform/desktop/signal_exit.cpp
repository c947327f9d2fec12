// The way out on a signal: the user's display put back, then the death the
// signal would have brought without the show.
//
// Putting the display back calls SDL, which may wait for a lock (malloc's,
// Xlib's) held by the very code a signal interrupts, so no handler here calls
// it: a handler notes the signal and posts a semaphore (safe in a handler).
// The show's own thread acts on a request at its next event check. A watcher
// thread, woken by the semaphore, acts instead when that check has not come
// within a grace (a box open, a start-up still loading), and at once on a
// second request or a fault. Whichever acts puts the display back under a
// deadline: should that hang as well, the process dies of the signal without it.
#include <semaphore.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <ctime>
#include <system_error>
#include <thread>

#include "platform/desktop/desktop.h"
#include "platform/exit_signals.h"

namespace platform {
namespace {

constexpr int GraceMs = 2000;            // for the show's thread to reach its next event check
constexpr unsigned DeadlineSeconds = 2;  // for putting the display back

// Written by the handlers, read by the show's thread and the watcher.
std::atomic<int> Requested{0};       // the first signal that asked the show to end
std::atomic<bool> Insisted{false};   // a later request: the end waits no longer
std::atomic<int> Fault{0};           // a fault's signal: the process cannot go on
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "handlers write these");
sem_t Doorbell;                      // posted by the handlers, for the watcher
std::atomic<bool> Ending{false};     // a thread is putting the display back

int ending_signal() { return Fault ? Fault.load() : Requested.load(); }

// Another thread ends the process: this one waits for it.
[[noreturn]] void park() {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

[[noreturn]] void end_of_signal(int sig, bool restore) {
    if (Ending.exchange(true)) park();
    arm_deadline(DeadlineSeconds, sig);
    if (restore) restore_user_display();
    die_of_signal(sig);
}

void ring() {
    const int saved = errno;
    sem_post(&Doorbell);
    errno = saved;
}

extern "C" void note_request(int sig) {
    int none = 0;
    if (!Requested.compare_exchange_strong(none, sig)) Insisted = true;
    ring();
}

extern "C" void note_fault(int sig) {
    Fault = sig;
    ring();
    park();  // returning would only fault again
}

// Waits for the doorbell, for ever when `ms` is negative; true when it rang.
bool wait_for_ring(int ms) {
    if (ms < 0) {
        while (sem_wait(&Doorbell) != 0) {
            if (errno != EINTR) return false;
        }
        return true;
    }
    const auto until = std::chrono::system_clock::now() + std::chrono::milliseconds(ms);
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(until.time_since_epoch()).count();
    const timespec deadline{time_t(ns / 1000000000), long(ns % 1000000000)};
    while (sem_timedwait(&Doorbell, &deadline) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

void watch() {
    while (!wait_for_ring(-1)) {
    }
    if (!Fault && !Insisted) wait_for_ring(GraceMs);
    end_of_signal(ending_signal(), display_outlives_process());
}

}  // namespace

// Without a watcher (no thread could start) the signals keep their default:
// they end the show and leave the display as it is.
void watch_exit_signals() {
    if (sem_init(&Doorbell, 0, 0) != 0) return;
    try {
        std::thread(watch).detach();
    } catch (const std::system_error&) {
        return;
    }
    on_exit_signals(note_request, note_fault);
}

void act_on_exit_request() {
    if (const int sig = ending_signal()) end_of_signal(sig, true);
}

}  // namespace platform
