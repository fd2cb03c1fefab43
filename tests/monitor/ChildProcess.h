#pragma once
// Child processes for the end-to-end tests: the monitor program, a private JACK
// server and its command-line clients, Xvfb. Every process is stopped by its
// own id, never by name.

#include <string>
#include <vector>

class TChildProcess {
public:
  // Starts aArgs[0] (looked up in PATH) with aArgs and the extra environment
  // entries aEnv ("NAME=value"); stdout and stderr go to files of their own.
  TChildProcess(const std::vector<std::string>& aArgs, const std::vector<std::string>& aEnv = {});
  ~TChildProcess(); // stops the process if it still runs
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  int Pid() const { return fPid; }
  bool Running();
  // Waits up to aTimeoutMs for the end; the exit code, or -1 when it had to be
  // killed or was ended by a signal.
  int Wait(int aTimeoutMs);
  // SIGTERM, then SIGKILL after aGraceMs; reaps the process.
  void Stop(int aGraceMs = 2000);
  std::string Stdout() const;
  std::string Stderr() const;

private:
  int fPid = -1;
  int fStatus = 0;
  bool fReaped = false;
  std::string fOutPath;
  std::string fErrPath;
};

// A unique name for this test run (process id and a counter).
std::string UniqueName(const std::string& aPrefix);
// Whether an executable of that name is in PATH.
bool HaveProgram(const std::string& aName);
