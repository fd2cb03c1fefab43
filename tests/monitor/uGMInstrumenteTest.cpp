#include "monitor/uGMInstrumente.h"

#include <gtest/gtest.h>
#include <set>
#include <stdexcept>
#include <string>

namespace {

TEST(InstrumentName, FirstAndLastOfEveryRowOfEight) {
  const struct {
    const char* Program;
    const char* Name;
  } cases[] = {
      {"00", "AcousticGrandPiano"},
      {"07", "Clavinet"},
      {"08", "Celesta"},
      {"0F", "Dulcimer"},
      {"10", "HammondOrgan"},
      {"17", "TangoAccordion"},
      {"18", "AcousticGuitarNylon"},
      {"1F", "GuitarHarmonics"},
      {"20", "AcousticBass"},
      {"27", "SynthBass2"},
      {"28", "Violin"},
      {"2F", "Timpani"},
      {"30", "StringEnsemble1"},
      {"37", "OrchestraHit"},
      {"38", "Trumpet"},
      {"3F", "SynthBrass2"},
      {"40", "SopranoSax"},
      {"47", "Clarinet"},
      {"48", "Piccolo"},
      {"4F", "Ocarina"},
      {"50", "Lead1Square"},
      {"57", "Lead8BrassLead"},
      {"58", "PadNewAge"},
      {"5F", "PadSweep"},
      {"60", "FXrain"},
      {"63", "FXatmophere"},
      {"67", "FXscifi"},
      {"68", "Sitar"},
      {"6F", "Shanai"},
      {"70", "TinkleBell"},
      {"77", "ReverseCymbal"},
      {"78", "GuitarFretNoise"},
      {"7F", "Gunshot"},
      {"7f", "Gunshot"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(InstrumentName(c.Program), c.Name) << c.Program;
}

TEST(InstrumentName, ProgramOutsideTheTableIsEmpty) {
  for (const char* program : {"80", "FF", "100"})
    EXPECT_EQ(InstrumentName(program), "") << program;
  EXPECT_THROW(InstrumentName("Z1"), std::invalid_argument);
}

TEST(GMInstrumentIdentifier, AllDistinctWithoutBlanks) {
  std::set<std::string> seen;
  for (int i = 0; i < GMInstrumentCount; ++i) {
    const std::string name(GMInstrumentIdentifier(static_cast<TGMInstrument>(i)));
    EXPECT_FALSE(name.empty()) << i;
    EXPECT_EQ(name.find(' '), std::string::npos) << name;
    seen.insert(name);
  }
  EXPECT_EQ(seen.size(), 128u);
  EXPECT_EQ(GMInstrumentIdentifier(TGMInstrument::Gunshot), "Gunshot");
  EXPECT_EQ(GMInstrumentIdentifier(TGMInstrument::FXatmophere), "FXatmophere");
}

} // namespace
