#include "support/WaitUntil.h"

#include <chrono>
#include <thread>

bool WaitUntil(const std::function<bool()>& aDone, int aTimeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(aTimeoutMs);
  while (!aDone()) {
    if (std::chrono::steady_clock::now() >= deadline)
      return aDone();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
