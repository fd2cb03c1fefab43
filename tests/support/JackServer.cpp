#include "support/JackServer.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <jack/midiport.h>
#include <signal.h>
#include <sstream>
#include <stdexcept>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

void Quiet(const char*) {}

constexpr int StopGraceMs = 5000;

// The bytes of a received event into its record. Read outside
// ThreadSanitizer's view, as the backend reads its inputs: the port buffer
// was filled in the sender's cycle, which the server orders before ours in a
// way the sanitizer cannot see, and the report it would make stalls this
// process thread past the server's wait for the cycle.
__attribute__((no_sanitize("thread"))) void CopyBytes(const jack_midi_event_t& aEvent,
                                                      TJackProbe::Event& aRecord) {
  aRecord.Size = std::uint8_t(aEvent.size > 3 ? 3 : aEvent.size);
  for (std::size_t b = 0; b < aRecord.Size; ++b)
    aRecord.Bytes[b] = aEvent.buffer[b];
}

std::size_t MessageLength(std::uint8_t aStatus) {
  if (aStatus >= 0xF0)
    return aStatus == 0xF1 || aStatus == 0xF3 ? 2 : aStatus == 0xF2 ? 3 : 1;
  return (aStatus & 0xE0) == 0xC0 ? 2 : 3;
}

} // namespace

TChild::TChild(const std::vector<std::string>& aArgs, const std::string& aOutputFile) {
  std::vector<char*> argv;
  for (const auto& arg : aArgs)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t parent = getpid();
  fPid = fork();
  if (fPid == 0) {
    // Ends with the test even when the test is killed (also when that
    // happened before the request took effect).
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
      _exit(127);
    const int fd = open(aOutputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      dup2(fd, 1);
      dup2(fd, 2);
      close(fd);
    }
    execvp(argv[0], argv.data());
    _exit(127);
  }
}

TChild::~TChild() {
  Stop();
}

bool TChild::Running() {
  if (fPid <= 0 || fReaped)
    return false;
  int status = 0;
  if (waitpid(fPid, &status, WNOHANG) == fPid) {
    fReaped = true;
    return false;
  }
  return true;
}

void TChild::Stop(int aGraceMs) {
  if (!Running())
    return;
  kill(fPid, SIGTERM);
  for (int waited = 0; waited < aGraceMs; waited += 10) {
    if (!Running())
      return;
    std::this_thread::sleep_for(10ms);
  }
  kill(fPid, SIGKILL);
  waitpid(fPid, nullptr, 0);
  fReaped = true;
}

std::string UniqueJackName(const std::string& aPrefix) {
  static std::atomic<int> counter{0};
  return aPrefix + "-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

namespace {

// Whether a server of the name in JACK_DEFAULT_SERVER answers.
bool ServerAnswers() {
  jack_set_error_function(Quiet);
  jack_set_info_function(Quiet);
  jack_status_t status{};
  jack_client_t* client = jack_client_open("mmprobe", JackNoStartServer, &status);
  if (client != nullptr)
    jack_client_close(client);
  return client != nullptr;
}

// What a server of this name, killed, or its killed clients left behind:
// the server's socket and the clients' semaphores.
void RemoveShmLeftovers(const std::string& aServer) {
  std::error_code error;
  std::vector<std::filesystem::path> leftovers;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", error)) {
    const std::string file = entry.path().filename().string();
    const bool socket = file.rfind("jack_" + aServer + "_", 0) == 0;
    const bool semaphore =
        file.rfind("jack_sem.", 0) == 0 && file.find("_" + aServer + "_") != std::string::npos;
    if (socket || semaphore)
      leftovers.push_back(entry.path());
  }
  for (const auto& path : leftovers)
    std::filesystem::remove(path, error);
}

// MM_JACK_REALTIME=1 starts the server real-time only (-R), 0 only without
// (--no-realtime); unset or empty, real-time is tried first.
std::vector<bool> RealtimeChoices() {
  const char* choice = std::getenv("MM_JACK_REALTIME");
  if (choice == nullptr || *choice == 0)
    return {true, false};
  return {std::string(choice) != "0"};
}

} // namespace

bool JackServerRequired() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && *ci != 0 && std::string(ci) != "false";
}

bool TJackServer::TakeName(int aIndex) {
  fName = "mmjack" + std::to_string(aIndex);
  const std::string lockPath = "/tmp/" + fName + ".lock";
  fLockFd = open(lockPath.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0666);
  // Opened read-write by the tests of every user on the machine: the umask
  // must not keep the others out (only its owner can change the mode).
  if (fLockFd >= 0)
    fchmod(fLockFd, 0666);
  if (fLockFd < 0 || flock(fLockFd, LOCK_EX | LOCK_NB) != 0) {
    ReleaseName();
    return false;
  }
  setenv("JACK_DEFAULT_SERVER", fName.c_str(), 1);
  if (ServerAnswers()) { // started by something else than these tests
    ReleaseName();
    return false;
  }
  fLog = "/tmp/" + fName + ".log";
  RemoveShmLeftovers(fName);
  return true;
}

void TJackServer::ReleaseName() {
  if (fLockFd >= 0)
    close(fLockFd);
  fLockFd = -1;
}

TJackServer::TJackServer(int aPeriod, int aRate, bool aSynchronous) : fPeriod(aPeriod) {
  setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
  const std::vector<std::string> driver = {
      "-d", "dummy", "-r", std::to_string(aRate), "-p", std::to_string(aPeriod)};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(PoolWaitSeconds);
  fReason = "every JACK server name of the test pool stayed in use";
  while (std::chrono::steady_clock::now() < deadline) {
    for (int n = 0; n < PoolSize; ++n) {
      if (!TakeName(n))
        continue;
      for (const bool realtime : RealtimeChoices()) {
        std::vector<std::string> args = {"jackd", "-n", fName, realtime ? "-R" : "--no-realtime"};
        // Synchronous, a slow (sanitised) client delays the cycle instead of
        // losing it. (A longer client timeout than JACK's own is no help: a
        // client that ends stalls the synchronous graph for that long.)
        if (aSynchronous)
          args.push_back("-S");
        // Tests use a few dozen ports; the default of 2048 would map over
        // 100 MB of shared memory per server.
        args.insert(args.end(), {"--port-max", "64"});
        args.insert(args.end(), driver.begin(), driver.end());
        if (StartWith(args)) {
          fRealtime = realtime;
          return;
        }
      }
      ReleaseName();
      // A name whose server is still running or a full server table ("too
      // many servers already active") may clear up; anything else will not.
      if (fReason.find("already active") == std::string::npos)
        return;
    }
    // Asked often: a test that waits must win over the next test's process
    // starting meanwhile, or it could wait in vain for a whole run.
    std::this_thread::sleep_for(2ms);
  }
}

bool TJackServer::StartWith(const std::vector<std::string>& aArgs) {
  auto child = std::make_unique<TChild>(aArgs, fLog);
  for (auto deadline = std::chrono::steady_clock::now() + 8s;
       std::chrono::steady_clock::now() < deadline;) {
    if (!child->Running())
      break;
    if (ServerAnswers()) {
      fChild = std::move(child);
      fArgs = aArgs;
      return true;
    }
    std::this_thread::sleep_for(50ms);
  }
  child->Stop(StopGraceMs);
  std::ifstream log(fLog);
  std::stringstream text;
  text << log.rdbuf();
  fReason = "jackd did not start (" + aArgs[3] + "): " + text.str();
  std::remove(fLog.c_str());
  return false;
}

void TJackServer::Kill() {
  // Stopped, not killed: a killed server would keep its entry in JACK's
  // table. The grace is long enough for a loaded machine.
  if (fChild)
    fChild->Stop(StopGraceMs);
}

bool TJackServer::Restart() {
  Kill();
  fChild.reset();
  if (fArgs.empty() || fLockFd < 0)
    return false;
  RemoveShmLeftovers(fName);
  return StartWith(fArgs);
}

TJackServer::~TJackServer() {
  Kill();
  fChild.reset();
  if (fLockFd >= 0) {
    RemoveShmLeftovers(fName);
    std::remove(fLog.c_str());
  }
  ReleaseName();
  unsetenv("JACK_DEFAULT_SERVER");
}

TJackProbe::Event ProbeEvent(std::uint32_t aFrame, std::uint8_t aStatus, std::uint8_t aData1,
                             std::uint8_t aData2) {
  return {aFrame, std::uint8_t(MessageLength(aStatus)), {aStatus, aData1, aData2}};
}

TJackProbe::TJackProbe(const std::string& aName, int aOutputs, int aInputs) {
  jack_status_t status{};
  fClient = jack_client_open(aName.c_str(), jack_options_t(JackNoStartServer | JackUseExactName),
                             &status);
  if (fClient == nullptr)
    return;
  for (int i = 0; i < aOutputs && i < int(MaxOutputs); ++i)
    fOutputs.push_back(jack_port_register(fClient, ("out" + std::to_string(i)).c_str(),
                                          JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0));
  for (int i = 0; i < aInputs && i < int(MaxInputs); ++i) {
    fInputs.push_back(jack_port_register(fClient, ("in" + std::to_string(i)).c_str(),
                                         JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0));
    fReceived[i] = std::make_unique<Event[]>(Capacity);
  }
  jack_set_process_callback(fClient, &TJackProbe::Process, this);
  jack_activate(fClient);
}

TJackProbe::~TJackProbe() {
  if (fClient != nullptr)
    jack_client_close(fClient);
}

std::string TJackProbe::OutputPort(int aIndex) const {
  return jack_port_name(fOutputs.at(aIndex));
}

std::string TJackProbe::InputPort(int aIndex) const {
  return jack_port_name(fInputs.at(aIndex));
}

int TJackProbe::Process(jack_nframes_t aFrames, void* aSelf) {
  auto& self = *static_cast<TJackProbe*>(aSelf);
  const jack_nframes_t cycleStart = jack_last_frame_time(self.fClient);
  for (std::size_t o = 0; o < self.fOutputs.size(); ++o) {
    void* buffer = jack_port_get_buffer(self.fOutputs[o], aFrames);
    jack_midi_clear_buffer(buffer);
    if (const std::vector<Event>* burst =
            self.fPending[o].exchange(nullptr, std::memory_order_acq_rel)) {
      // What does not fit is left out (a lost event, for the measurement);
      // checked first because libjack prints a complaint for each one.
      for (const Event& event : *burst)
        if (jack_midi_max_event_size(buffer) >= event.Size)
          jack_midi_event_write(buffer, event.Frame, event.Bytes.data(), event.Size);
      self.fWrittenAt[o].store(cycleStart, std::memory_order_relaxed);
      self.fWritten[o].fetch_add(1, std::memory_order_release);
    }
  }
  for (std::size_t i = 0; i < self.fInputs.size(); ++i) {
    void* buffer = jack_port_get_buffer(self.fInputs[i], aFrames);
    const std::uint32_t count = jack_midi_get_event_count(buffer);
    std::size_t stored = self.fReceivedCount[i].load(std::memory_order_relaxed);
    for (std::uint32_t e = 0; e < count && stored < Capacity; ++e) {
      jack_midi_event_t event;
      if (jack_midi_event_get(&event, buffer, e) != 0)
        continue;
      Event& record = self.fReceived[i][stored++];
      record.Frame = cycleStart + event.time;
      CopyBytes(event, record);
    }
    self.fReceivedCount[i].store(stored, std::memory_order_release);
  }
  return 0;
}

std::uint32_t TJackProbe::SendBurst(int aOutput, const std::vector<Event>& aEvents) {
  const std::uint64_t written = fWritten[aOutput].load(std::memory_order_acquire);
  fPending[aOutput].store(&aEvents, std::memory_order_release);
  const auto waitFor = [&] {
    for (auto deadline = std::chrono::steady_clock::now() + 5s;
         std::chrono::steady_clock::now() < deadline;) {
      if (fWritten[aOutput].load(std::memory_order_acquire) != written)
        return true;
      std::this_thread::sleep_for(100us);
    }
    return false;
  };
  // Not taken in time: taken back, unless a cycle has just taken it (that
  // cycle writes it in microseconds).
  if (!waitFor() && (fPending[aOutput].exchange(nullptr) == &aEvents || !waitFor()))
    throw std::runtime_error("no JACK cycle took the burst within 5 s");
  return fWrittenAt[aOutput].load(std::memory_order_relaxed);
}

std::vector<TJackProbe::Event> TJackProbe::WaitReceived(int aInput, std::size_t aCount,
                                                        int aTimeoutMs) {
  WaitUntil([&] { return fReceivedCount[aInput].load(std::memory_order_acquire) >= aCount; },
            aTimeoutMs);
  const std::size_t count = fReceivedCount[aInput].load(std::memory_order_acquire);
  return std::vector<Event>(fReceived[aInput].get(), fReceived[aInput].get() + count);
}
