#pragma once
// A small set of enumeration values kept as bits, for the state and style
// flags that the controls test (component state, control state, anchors...).

#include <cstdint>
#include <initializer_list>

template <class E>
class TSet {
public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> aValues) {
    for (E v : aValues)
      Include(v);
  }

  constexpr bool Contains(E aValue) const { return (fBits & Bit(aValue)) != 0; }
  constexpr TSet& Include(E aValue) {
    fBits |= Bit(aValue);
    return *this;
  }
  constexpr TSet& Exclude(E aValue) {
    fBits &= ~Bit(aValue);
    return *this;
  }
  constexpr bool Empty() const { return fBits == 0; }
  constexpr std::uint32_t Bits() const { return fBits; }

  friend constexpr bool operator==(TSet, TSet) = default;

private:
  static constexpr std::uint32_t Bit(E aValue) { return std::uint32_t(1) << unsigned(aValue); }
  std::uint32_t fBits = 0;
};
