#pragma once
// Waiting in a test for an outcome that another thread or process brings,
// within a generous limit instead of for a fixed time.

#include <functional>

// Asks aDone every millisecond until it holds or aTimeoutMs passed; returns
// its last answer.
bool WaitUntil(const std::function<bool()>& aDone, int aTimeoutMs = 5000);
