#include "ChildProcess.h"

#include "support/TextLines.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

std::string UniqueName(const std::string& aPrefix) {
  static std::atomic<int> counter{0};
  return aPrefix + std::to_string(getpid()) + "_" + std::to_string(counter++);
}

bool HaveProgram(const std::string& aName) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':'))
    if (!dir.empty() && access((dir + "/" + aName).c_str(), X_OK) == 0)
      return true;
  return false;
}

TChildProcess::TChildProcess(const std::vector<std::string>& aArgs,
                             const std::vector<std::string>& aEnv) {
  const std::string base = "/tmp/" + UniqueName("mm_child_");
  fOutPath = base + ".out";
  fErrPath = base + ".err";
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    env.emplace_back(*e);
  for (const std::string& extra : aEnv) {
    const std::string key = extra.substr(0, extra.find('=') + 1);
    std::erase_if(env, [&](const std::string& e) { return e.rfind(key, 0) == 0; });
    env.push_back(extra);
  }
  std::vector<char*> argv, envp;
  for (const std::string& a : aArgs)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const std::string& e : env)
    envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, fOutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, fErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0)
    fPid = pid;
  else
    fReaped = true;
  posix_spawn_file_actions_destroy(&actions);
}

TChildProcess::~TChildProcess() {
  Stop(500);
  unlink(fOutPath.c_str());
  unlink(fErrPath.c_str());
}

bool TChildProcess::Running() {
  if (fReaped)
    return false;
  if (waitpid(fPid, &fStatus, WNOHANG) == fPid)
    fReaped = true;
  return !fReaped;
}

int TChildProcess::Wait(int aTimeoutMs) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(aTimeoutMs);
  while (Running() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  if (Running())
    Stop(0);
  if (fPid < 0 || !WIFEXITED(fStatus))
    return -1;
  return WEXITSTATUS(fStatus);
}

void TChildProcess::Stop(int aGraceMs) {
  if (!Running())
    return;
  kill(fPid, SIGTERM);
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(aGraceMs);
  while (Running() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  if (Running()) {
    kill(fPid, SIGKILL);
    waitpid(fPid, &fStatus, 0);
    fReaped = true;
  }
}

std::string TChildProcess::Stdout() const {
  return textlines::FileText(fOutPath);
}

std::string TChildProcess::Stderr() const {
  return textlines::FileText(fErrPath);
}
