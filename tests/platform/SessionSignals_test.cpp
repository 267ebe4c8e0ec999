// The session signals of the X11 driver: a signal wakes the wait once, a second one of the same
// kind takes its default action, and signals the process ignores stay ignored.
#include "platform/x11/SessionSignals.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>

using platform::x11::TSessionSignals;

namespace {

sighandler_t HandlerOf(int signal) {
  struct sigaction current {};
  sigaction(signal, nullptr, &current);
  return current.sa_handler;
}

bool Readable(int fd) {
  pollfd watched{fd, POLLIN, 0};
  return poll(&watched, 1, 0) == 1;
}

}  // namespace

TEST(SessionSignals, ASignalWakesTheWaitOnceAndTheNextOneEndsTheProcessAsUsual) {
  const sighandler_t hangUp = signal(SIGHUP, SIG_IGN);  // as nohup starts a program
  {
    TSessionSignals signals;
    ASSERT_GE(signals.Descriptor(), 0);
    EXPECT_FALSE(signals.Take());
    EXPECT_NE(HandlerOf(SIGTERM), SIG_DFL);
    EXPECT_EQ(HandlerOf(SIGHUP), SIG_IGN) << "an ignored signal stays ignored";

    raise(SIGTERM);
    EXPECT_TRUE(Readable(signals.Descriptor())) << "the wait wakes";
    EXPECT_TRUE(signals.Take());
    EXPECT_FALSE(signals.Take()) << "one signal, one end of the session";
    signals.Clear();
    EXPECT_FALSE(Readable(signals.Descriptor()));
    EXPECT_EQ(HandlerOf(SIGTERM), SIG_DFL) << "a second SIGTERM would end the process";
    EXPECT_NE(HandlerOf(SIGINT), SIG_DFL);
  }
  EXPECT_EQ(HandlerOf(SIGINT), SIG_DFL) << "the previous handlers are back";
  EXPECT_EQ(HandlerOf(SIGHUP), SIG_IGN);
  signal(SIGHUP, hangUp);
}
