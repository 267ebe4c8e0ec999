// Runs the built calvix-check as a child process, as a shell would: its standard input fed
// from the test, its standard output and error read back, its exit status and peak memory.
#include "tests/cli/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace clitest {

namespace {

void MakePipe(int ends[2]) {
  if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
}

void CloseEnd(int& descriptor) {
  if (descriptor >= 0) ::close(descriptor);
  descriptor = -1;
}

// Reads what is there; false at the end of the stream.
bool ReadSome(int descriptor, std::string& into) {
  char buffer[65536];
  const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
  if (count > 0) into.append(buffer, static_cast<std::size_t>(count));
  return count > 0 || (count < 0 && errno == EINTR);
}

}  // namespace

TChild::TChild(const std::vector<std::string>& args, const TChildSetup& setup)
    : FDeadline(std::chrono::steady_clock::now() + kChildTimeout) {
  // Writing to a child that has ended must fail, not end the test program.
  ::signal(SIGPIPE, SIG_IGN);
  int input[2];
  int output[2] = {-1, -1};
  int error[2];
  MakePipe(input);
  MakePipe(error);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
  if (setup.StandardOutputPath.empty()) {
    MakePipe(output);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, setup.StandardOutputPath.c_str(),
                                     O_WRONLY, 0);
  }
  posix_spawn_file_actions_adddup2(&actions, error[1], STDERR_FILENO);

  // The child gets SIGPIPE's default unless the test asks for it ignored, which a child
  // inherits from its parent.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  if (!setup.IgnoreSigpipe) sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  std::vector<std::string> argStrings{CALVIX_CHECK_PATH};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argStrings)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  const int spawned =
      ::posix_spawn(&FPid, CALVIX_CHECK_PATH, &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(input[0]);
  ::close(error[1]);
  if (output[1] >= 0) ::close(output[1]);
  FInput = input[1];
  FOutput = output[0];
  FError = error[0];
  if (spawned != 0) throw std::runtime_error("cannot start " CALVIX_CHECK_PATH);
  // The test's own writes wait in poll, never in write.
  ::fcntl(FInput, F_SETFL, O_NONBLOCK);
}

TChild::~TChild() {
  if (FPid > 0) {
    ::kill(FPid, SIGKILL);
    ::waitpid(FPid, nullptr, 0);
  }
  CloseEnd(FInput);
  CloseEnd(FOutput);
  CloseEnd(FError);
}

// Waits up to `timeoutMs` for output to read, or for room to write when `writing`, and reads
// what came. False once the deadline has passed.
bool TChild::Pump(int timeoutMs, bool writing) {
  if (std::chrono::steady_clock::now() > FDeadline) {
    FResult.TimedOut = true;
    return false;
  }
  pollfd watched[3];
  int count = 0;
  if (FOutput >= 0) watched[count++] = {FOutput, POLLIN, 0};
  if (FError >= 0) watched[count++] = {FError, POLLIN, 0};
  if (writing && FInput >= 0) watched[count++] = {FInput, POLLOUT, 0};
  if (count == 0) return true;
  if (::poll(watched, count, timeoutMs) <= 0) return true;
  for (int i = 0; i < count; ++i) {
    if (watched[i].revents == 0 || watched[i].fd == FInput) continue;
    int& descriptor = watched[i].fd == FOutput ? FOutput : FError;
    if (!ReadSome(descriptor, descriptor == FOutput ? FResult.Out : FResult.Err)) {
      CloseEnd(descriptor);
    }
  }
  return true;
}

bool TChild::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(FInput, bytes.data(), bytes.size());
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
      continue;
    }
    if (written < 0 && errno != EAGAIN && errno != EINTR) return false;
    // No room in the pipe: read the child's output while waiting for it to read on.
    if (!Pump(100, true)) return false;
  }
  return true;
}

void TChild::CloseInput() {
  CloseEnd(FInput);
}

std::string TChild::ReadLine() {
  for (;;) {
    const std::size_t end = FResult.Out.find('\n', FLineStart);
    if (end != std::string::npos) {
      std::string line = FResult.Out.substr(FLineStart, end - FLineStart);
      FLineStart = end + 1;
      return line;
    }
    if (FOutput < 0 || !Pump(100)) return {};
  }
}

void TChild::CloseOutput() {
  CloseEnd(FOutput);
}

TChildResult TChild::Wait() {
  CloseInput();
  while ((FOutput >= 0 || FError >= 0) && Pump(100)) {
  }
  int status = 0;
  rusage usage{};
  for (;;) {
    const pid_t ended = ::wait4(FPid, &status, WNOHANG, &usage);
    if (ended == FPid) break;
    if (std::chrono::steady_clock::now() > FDeadline) {
      FResult.TimedOut = true;
      ::kill(FPid, SIGKILL);
      ::wait4(FPid, &status, 0, &usage);
      break;
    }
    ::usleep(1000);
  }
  FPid = -1;
  if (WIFEXITED(status)) FResult.ExitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) FResult.Signal = WTERMSIG(status);
  FResult.MaxRssKb = usage.ru_maxrss;
  return FResult;
}

TChildResult RunCalvixCheck(const std::vector<std::string>& args, std::string_view input,
                            const TChildSetup& setup) {
  TChild child(args, setup);
  child.Write(input);
  return child.Wait();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace clitest
