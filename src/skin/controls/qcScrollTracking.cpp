#include "skin/controls/qcScrollTracking.h"

TqcScrollTracking& ScrollTracking() {
  static TqcScrollTracking state;
  return state;
}

void ClearScrollTracking() {
  ScrollTracking() = TqcScrollTracking{};
}
