// The command's files through the system: numbers read from files and standard input, output
// written to standard output, messages to standard error. Layer: the command line (cli/).
#include "cli/SystemFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr std::string_view kStandardInputName = "-";
constexpr std::string_view kProgramName = "calvix-check";

// Writes every byte, going on after an interrupted or partial write; false with errno set on
// an error.
bool WriteAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

TFileSource::TFileSource(std::string_view name) {
  if (name == kStandardInputName) {
    FDescriptor = STDIN_FILENO;
  } else {
    const std::string path(name);
    do {
      FDescriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (FDescriptor < 0 && errno == EINTR);
    FOwned = FDescriptor >= 0;
  }
  struct stat status {};
  if (FDescriptor < 0 || ::fstat(FDescriptor, &status) != 0) {
    FError = errno;
    if (FOwned) ::close(FDescriptor);
    FDescriptor = -1;
    return;
  }
  FMayWait = !S_ISREG(status.st_mode);
}

TFileSource::~TFileSource() {
  if (FOwned) ::close(FDescriptor);
}

std::ptrdiff_t TFileSource::Read(char* into, std::size_t size) {
  for (;;) {
    const ssize_t count = ::read(FDescriptor, into, size);
    if (count >= 0) return count;
    if (errno == EINTR) continue;
    FError = errno;
    return -1;
  }
}

void TStandardOutput::Write(std::string_view bytes) {
  if (!WriteAll(STDOUT_FILENO, bytes)) throw EWriteError(errno);
}

void WriteError(std::string_view message) {
  std::string line(kProgramName);
  line += ": ";
  line += message;
  line += '\n';
  WriteStandardError(line);
}

void WriteStandardError(std::string_view text) {
  // Nothing better can be done when standard error itself cannot be written.
  WriteAll(STDERR_FILENO, text);
}

std::string ErrorText(int error) {
  return std::strerror(error);
}
