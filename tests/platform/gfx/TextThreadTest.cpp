#include "platform/gfx/Text.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace platform {
namespace {

// Fonts and glyph strikes are shared by the whole process; two threads drawing
// with one font at once (each into its own bitmap and DC) get what one thread
// alone gets.
TEST(TextThreadTest, TwoThreadsDrawWithOneFont) {
  LOGFONTW logFont;
  logFont.lfHeight = -17; // a size no other test of this program uses: the strike starts cold
  logFont.lfFaceName = "Tahoma";
  HFONT font = CreateFontIndirectW(&logFont);
  ASSERT_NE(font, nullptr);
  const auto draw = [font](const std::string& aText) {
    Bitmap image(300, 30);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, &image);
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    RECT r{0, 0, 300, 30};
    DrawTextW(dc, aText, &r, DT_SINGLELINE | DT_VCENTER);
    DeleteDC(dc);
    return image;
  };
  const std::vector<std::string> texts = {"Das Ger\xC3\xA4t steht nicht zur Verf\xC3\xBCgung!",
                                          "Statusbyte und Midikanal 0123456789",
                                          // Katakana, borrowed from another face where one has it.
                                          "Port \xE3\x82\xA2\xE3\x82\xA4\xE3\x82\xA6"};
  std::vector<Bitmap> together(texts.size());
  {
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < texts.size(); ++i)
      threads.emplace_back([&, i] {
        for (int round = 0; round < 20; ++round)
          together[i] = draw(texts[i]);
      });
    for (std::thread& thread : threads)
      thread.join();
  }
  for (std::size_t i = 0; i < texts.size(); ++i)
    EXPECT_TRUE(together[i] == draw(texts[i])) << texts[i];
  DeleteObject(font);
}

} // namespace
} // namespace platform
