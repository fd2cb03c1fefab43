#include "midi/PortList.h"

#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"

void WritePortList(std::ostream& aOut) {
  const std::vector<std::string> inputs = MidiInput().Names();
  const std::vector<std::string> outputs = MidiOutput().Names();
  for (std::size_t i = 0; i < inputs.size(); ++i)
    aOut << "in\t" << i << '\t' << inputs[i] << '\n';
  for (std::size_t i = 0; i < outputs.size(); ++i)
    aOut << "out\t" << i << '\t' << outputs[i] << '\n';
}
