// The stop signals' handler does nothing but store the signal's number: anything
// more (a write, a lock, memory) is not safe inside a handler.
#include "base/stop_signal.h"

#include <csignal>

namespace base {
namespace {

volatile std::sig_atomic_t g_stopSignal = 0;

void NoteStop(int signal) { g_stopSignal = signal; }

}  // namespace

void InstallStopSignals() {
  struct sigaction action {};
  action.sa_handler = &NoteStop;
  sigemptyset(&action.sa_mask);
  // The frame loop never waits long (a frame's sleep at most), so calls that the
  // signal breaks into simply go on.
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

int StopSignal() { return g_stopSignal; }

void ResetStopSignal() { g_stopSignal = 0; }

}  // namespace base
