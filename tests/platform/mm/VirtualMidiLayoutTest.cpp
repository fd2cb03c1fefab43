#include "platform/mm/VirtualMidiLayout.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

struct LayoutCase {
  const char* Text;
  VirtualMidiLayout Expected;
};

TEST(VirtualMidiLayout, ParsesPortLists) {
  const LayoutCase cases[] = {
      {"in=A,B;out=C,D", {{{"A"}, {"B"}}, {{"C"}, {"D"}}}},
      {"out=C;in=A", {{{"A"}}, {{"C"}}}},
      {"in=A", {{{"A"}}, {}}},
      {"", {}},
      {"in=;out=", {}},
      {" in = Keyboard , Pads* ; out = Synth* ",
       {{{"Keyboard"}, {"Pads", true}}, {{"Synth", true}}}},
      {"in=Midi Through:Midi Through Port-0,Midi Through:Midi Through Port-1",
       {{{"Midi Through:Midi Through Port-0"}, {"Midi Through:Midi Through Port-1"}}, {}}},
      {"in=Gerät Ä,Gerät Ä", {{{"Gerät Ä"}, {"Gerät Ä"}}, {}}},
      {"in=A;;out=B;", {{{"A"}}, {{"B"}}}},
  };
  for (const auto& c : cases) {
    VirtualMidiLayout layout;
    std::string error;
    EXPECT_TRUE(ParseVirtualMidiLayout(c.Text, layout, error)) << c.Text << ": " << error;
    EXPECT_EQ(layout, c.Expected) << c.Text;
  }
}

TEST(VirtualMidiLayout, RejectsMalformedTextAndKeepsTheLayout) {
  const char* bad[] = {"in=A,,B", "in=*", "inputs=A", "A,B", "in=A;in=B", "out=X;out=Y", "in=A,"};
  for (const char* text : bad) {
    VirtualMidiLayout layout = DemoMidiLayout();
    std::string error;
    EXPECT_FALSE(ParseVirtualMidiLayout(text, layout, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
    EXPECT_EQ(layout, DemoMidiLayout()) << text;
  }
}

TEST(VirtualMidiLayout, DemoPortsAreKeyboardAndLoopback) {
  EXPECT_EQ(DemoMidiLayout(), (VirtualMidiLayout{{{"Demo Keyboard"}}, {{"Loopback"}}}));
}

} // namespace
