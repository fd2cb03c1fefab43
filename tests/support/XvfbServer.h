#pragma once
// An Xvfb server of the test's own: started on a display Xvfb picks itself
// (-displayfd: the server takes the first free display's lock file, so two
// servers started at the same moment never share one), stopped by its process
// id, killed when it does not end within five seconds. Running() is false,
// with Why() saying so, when Xvfb is missing or does not start.

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

class XvfbServer {
public:
  // aExtraArgs go to Xvfb as they are ("-extension", "MIT-SHM" turns shared
  // memory off, say).
  explicit XvfbServer(int aWidth = 1024, int aHeight = 768,
                      const std::vector<std::string>& aExtraArgs = {}) {
    int fds[2];
    if (pipe(fds) != 0) {
      fWhy = "pipe failed";
      return;
    }
    const std::string fd = std::to_string(fds[1]);
    const std::string screen = std::to_string(aWidth) + "x" + std::to_string(aHeight) + "x24";
    std::vector<const char*> argv = {"Xvfb",         "-displayfd", fd.c_str(), "-screen", "0",
                                     screen.c_str(), "-nolisten",  "tcp",      "-noreset"};
    for (const std::string& arg : aExtraArgs)
      argv.push_back(arg.c_str());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 0x1 /* O_WRONLY */, 0);
    const int rc =
        posix_spawnp(&fPid, "Xvfb", &actions, nullptr, const_cast<char**>(argv.data()), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
      fPid = 0;
      fWhy = "Xvfb is not installed";
      close(fds[0]);
      return;
    }
    // Xvfb writes its display number once it accepts connections.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
      if (poll(&p, 1, 200) <= 0)
        continue;
      char c;
      const ssize_t n = read(fds[0], &c, 1);
      if (n <= 0 || c == '\n')
        break;
      number += c;
    }
    close(fds[0]);
    if (number.empty()) {
      fWhy = "Xvfb did not start";
      Stop();
      return;
    }
    fDisplay = ":" + number;
  }
  ~XvfbServer() { Stop(); }

  bool Running() const { return !fDisplay.empty(); }
  const std::string& Why() const { return fWhy; }
  const std::string& Display() const { return fDisplay; }

  // Runs xdotool on this display; returns its exit status.
  int Xdotool(const std::string& aArgs) const {
    const std::string cmd = "DISPLAY=" + fDisplay + " xdotool " + aArgs + " >/dev/null 2>&1";
    return std::system(cmd.c_str());
  }

private:
  void Stop() {
    if (fPid > 0) {
      kill(fPid, SIGTERM);
      int status = 0;
      const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (waitpid(fPid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= end) {
          kill(fPid, SIGKILL);
          waitpid(fPid, &status, 0);
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      fPid = 0;
    }
    fDisplay.clear();
  }
  pid_t fPid = 0;
  std::string fDisplay;
  std::string fWhy;
};
