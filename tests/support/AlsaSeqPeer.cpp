#include "support/AlsaSeqPeer.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <stdexcept>
#include <unistd.h>

namespace {

// The reference path should lose nothing the device delivered: the kernel
// keeps up to this many events for the client (the largest it accepts, or
// the next smaller), and each read takes up to InputBufferBytes of them.
constexpr int InputPoolSizes[] = {2000, 1000, 500};
constexpr std::size_t InputBufferBytes = 1 << 16;
constexpr int ReaderPriority = 20;
// Room for a long run's messages per port, so that no growth of the record
// holds up the reading thread while the device sends.
constexpr std::size_t ReservedMessages = 1 << 18;

void Check(int aResult, const char* aWhat) {
  if (aResult < 0)
    throw std::runtime_error(std::string("sequencer peer: ") + aWhat + ": " +
                             snd_strerror(aResult));
}

} // namespace

TAlsaSeqPeer::TAlsaSeqPeer(const std::string& aName) {
  snd_seq_t* seq = nullptr;
  Check(snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK), "open");
  fSeq.reset(seq);
  Check(snd_seq_set_client_name(seq, aName.c_str()), "name the client");
  fClient = snd_seq_client_id(seq);
  for (const int size : InputPoolSizes)
    if (snd_seq_set_client_pool_input(seq, size) == 0)
      break;
  Check(snd_seq_set_input_buffer_size(seq, InputBufferBytes), "size the input buffer");
  snd_midi_event_t* decoder = nullptr;
  Check(snd_midi_event_new(16, &decoder), "make a decoder");
  fDecoder.reset(decoder);
  snd_midi_event_no_status(decoder, 1);
  if (pipe2(fStopPipe, O_CLOEXEC) != 0)
    throw std::runtime_error("sequencer peer: pipe failed");
  fReader = std::thread([this] { Read(); });
  // Where real-time priority is not allowed, the thread reads at normal priority.
  const sched_param priority{ReaderPriority};
  pthread_setschedparam(fReader.native_handle(), SCHED_FIFO, &priority);
}

TAlsaSeqPeer::~TAlsaSeqPeer() {
  Exit();
  for (const int fd : fStopPipe)
    if (fd >= 0)
      close(fd);
}

snd_seq_t* TAlsaSeqPeer::Seq() const {
  if (!fSeq)
    throw std::logic_error("sequencer peer: the client has exited");
  return fSeq.get();
}

int TAlsaSeqPeer::CreatePort(const std::string& aName) {
  const int port =
      snd_seq_create_simple_port(Seq(), aName.c_str(),
                                 SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ |
                                     SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                 SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  Check(port, "create a port");
  std::lock_guard lock(fLock);
  fPorts[port].Record.Messages.reserve(ReservedMessages);
  return port;
}

void TAlsaSeqPeer::DeletePort(int aPort) {
  Check(snd_seq_delete_simple_port(Seq(), aPort), "delete a port");
}

void TAlsaSeqPeer::Subscribe(const snd_seq_addr_t& aSender, int aPort) {
  Check(snd_seq_connect_from(Seq(), aPort, aSender.client, aSender.port), "subscribe");
}

std::size_t TAlsaSeqPeer::SubscriberCount(int aPort) const {
  snd_seq_query_subscribe_t* query = nullptr;
  snd_seq_query_subscribe_alloca(&query);
  snd_seq_addr_t root;
  root.client = static_cast<unsigned char>(fClient);
  root.port = static_cast<unsigned char>(aPort);
  snd_seq_query_subscribe_set_root(query, &root);
  std::size_t count = 0;
  for (const snd_seq_query_subs_type_t type : {SND_SEQ_QUERY_SUBS_READ, SND_SEQ_QUERY_SUBS_WRITE}) {
    snd_seq_query_subscribe_set_type(query, type);
    snd_seq_query_subscribe_set_index(query, 0);
    // The kernel answers the first query with the count of them all.
    if (snd_seq_query_port_subscribers(Seq(), query) == 0)
      count += std::size_t(snd_seq_query_subscribe_get_num_subs(query));
  }
  return count;
}

void TAlsaSeqPeer::Send(int aPort, const std::vector<std::uint8_t>& aBytes) {
  snd_midi_event_t* encoder = nullptr;
  Check(snd_midi_event_new(16, &encoder), "make an encoder");
  const std::unique_ptr<snd_midi_event_t, void (*)(snd_midi_event_t*)> owned(encoder,
                                                                             snd_midi_event_free);
  for (const std::uint8_t byte : aBytes) {
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    if (snd_midi_event_encode_byte(encoder, byte, &event) != 1)
      continue;
    snd_seq_ev_set_source(&event, aPort);
    snd_seq_ev_set_subs(&event);
    snd_seq_ev_set_direct(&event);
    int result = 0;
    // The client is non-blocking: a full output pool empties as the
    // receivers read.
    while ((result = snd_seq_event_output_direct(Seq(), &event)) == -EAGAIN)
      std::this_thread::yield();
    Check(result, "send");
  }
}

void TAlsaSeqPeer::Exit() {
  if (!fReader.joinable())
    return;
  const char stop = 1;
  while (write(fStopPipe[1], &stop, 1) < 0 && errno == EINTR) {
  }
  fReader.join();
  fSeq.reset();
}

std::vector<std::string> TAlsaSeqPeer::ClientNames() const {
  std::vector<std::string> names;
  snd_seq_client_info_t* info;
  snd_seq_client_info_alloca(&info);
  snd_seq_client_info_set_client(info, -1);
  while (snd_seq_query_next_client(Seq(), info) == 0)
    names.emplace_back(snd_seq_client_info_get_name(info));
  return names;
}

snd_seq_addr_t TAlsaSeqPeer::FindPort(const std::string& aClient, const std::string& aPort) const {
  snd_seq_client_info_t* client;
  snd_seq_port_info_t* port;
  snd_seq_client_info_alloca(&client);
  snd_seq_port_info_alloca(&port);
  snd_seq_client_info_set_client(client, -1);
  while (snd_seq_query_next_client(Seq(), client) == 0) {
    if (aClient != snd_seq_client_info_get_name(client))
      continue;
    snd_seq_port_info_set_client(port, snd_seq_client_info_get_client(client));
    snd_seq_port_info_set_port(port, -1);
    while (snd_seq_query_next_port(Seq(), port) == 0)
      if (aPort == snd_seq_port_info_get_name(port))
        return *snd_seq_port_info_get_addr(port);
  }
  throw std::runtime_error("sequencer peer: no port \"" + aClient + ":" + aPort + "\"");
}

void TAlsaSeqPeer::Read() {
  snd_seq_t* seq = fSeq.get();
  const int count = snd_seq_poll_descriptors_count(seq, POLLIN);
  std::vector<pollfd> fds(std::size_t(count) + 1);
  snd_seq_poll_descriptors(seq, fds.data(), unsigned(count), POLLIN);
  fds[std::size_t(count)] = {fStopPipe[0], POLLIN, 0};
  for (;;) {
    if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR)
      return;
    if (fds[std::size_t(count)].revents)
      return;
    snd_seq_event_t* event = nullptr;
    for (;;) {
      const int result = snd_seq_event_input(seq, &event);
      if (result == -ENOSPC) {
        std::lock_guard lock(fLock);
        ++fOverruns;
        continue;
      }
      if (result < 0)
        break;
      Record(*event);
    }
  }
}

void TAlsaSeqPeer::Record(const snd_seq_event_t& aEvent) {
  TMessage message;
  const long size = snd_midi_event_decode(fDecoder.get(), message.Bytes.data(),
                                          long(message.Bytes.size()), &aEvent);
  if (size <= 0)
    return;
  message.Size = std::uint8_t(size);
  {
    std::lock_guard lock(fLock);
    TPortState& state = fPorts[aEvent.dest.port];
    state.Record.Messages.push_back(message);
    if (const auto index = SequenceIndex(message.Bytes.data(), message.Size)) {
      if (std::int64_t(*index) <= state.LastIndex)
        ++state.Record.OutOfOrder;
      state.LastIndex = *index;
    } else {
      ++state.Record.Foreign;
    }
  }
  fArrived.notify_all();
}

std::size_t TAlsaSeqPeer::Count(int aPort) const {
  std::lock_guard lock(fLock);
  const auto it = fPorts.find(aPort);
  return it == fPorts.end() ? 0 : it->second.Record.Messages.size();
}

std::size_t TAlsaSeqPeer::NumberedCount(int aPort) const {
  std::lock_guard lock(fLock);
  const auto it = fPorts.find(aPort);
  return it == fPorts.end() ? 0 : it->second.Record.Messages.size() - it->second.Record.Foreign;
}

std::size_t TAlsaSeqPeer::WaitCount(int aPort, std::size_t aCount, int aQuietMs,
                                    int aTimeoutMs) const {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(aTimeoutMs);
  std::unique_lock lock(fLock);
  const auto count = [&] {
    const auto it = fPorts.find(aPort);
    return it == fPorts.end() ? std::size_t(0) : it->second.Record.Messages.size();
  };
  for (;;) {
    const std::size_t before = count();
    if (before >= aCount || Clock::now() >= deadline)
      return before;
    const Clock::time_point quietEnd = Clock::now() + std::chrono::milliseconds(aQuietMs);
    fArrived.wait_until(lock, std::min(quietEnd, deadline), [&] { return count() != before; });
    if (count() == before && Clock::now() >= quietEnd)
      return before;
  }
}

TAlsaSeqPeer::TPortRecord TAlsaSeqPeer::Received(int aPort) const {
  std::lock_guard lock(fLock);
  const auto it = fPorts.find(aPort);
  return it == fPorts.end() ? TPortRecord{} : it->second.Record;
}

std::size_t TAlsaSeqPeer::Overruns() const {
  std::lock_guard lock(fLock);
  return fOverruns;
}
