#include "platform/gfx/ImageCodec.h"

#include "ImageCodecTestData.h"
#include "platform/gfx/PngCodec.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using platform::ImageFormat;
using testdata::Bytes;

namespace {

std::string TempPath(const std::string& aName) {
  std::filesystem::path dir = std::filesystem::path(MM_BINARY_DIR) / "test-output" / "codecs";
  std::filesystem::create_directories(dir);
  return (dir / aName).string();
}

TEST(ImageCodec, DetectsTheFormatBySignature) {
  struct Case {
    Bytes Data;
    ImageFormat Format;
  };
  const std::vector<Case> cases = {
      {{'B', 'M'}, ImageFormat::Bmp},
      {{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, ImageFormat::Png},
      {{0xFF, 0xD8, 0xFF}, ImageFormat::Jpeg},
      {{0x89, 'P', 'N', 'G'}, ImageFormat::Unknown},
      {{0xFF, 0xD8}, ImageFormat::Unknown},
      {{'B'}, ImageFormat::Unknown},
      {{}, ImageFormat::Unknown},
      {{'G', 'I', 'F', '8', '9', 'a'}, ImageFormat::Unknown},
  };
  for (const Case& c : cases)
    EXPECT_EQ(platform::DetectImageFormat(c.Data), c.Format);
}

TEST(ImageCodec, DecodeImageDispatchesOnTheSignature) {
  const platform::Bitmap pattern = testdata::TestPattern(6, 4);
  Bytes png = platform::EncodePng(pattern).Data;
  Bytes bmp = testdata::MakeBmp({.Width = 1, .Height = 1, .BitCount = 24, .Rows = {{1, 2, 3}}});
  Bytes jpeg =
      testdata::MakeJpeg({.Width = 8, .Height = 8, .Components = 1, .Pixels = Bytes(64, 50)});
  EXPECT_EQ(platform::DecodeImage(png).Format, ImageFormat::Png);
  EXPECT_TRUE(platform::DecodeImage(png).Image == pattern);
  EXPECT_EQ(platform::DecodeImage(bmp).Image.Pixel(0, 0), 0xFF030201u);
  EXPECT_EQ(platform::DecodeImage(jpeg).Format, ImageFormat::Jpeg);
  platform::ImageResult unknown = platform::DecodeImage(Bytes{'G', 'I', 'F'});
  EXPECT_FALSE(unknown.Ok());
  EXPECT_EQ(unknown.Error, "unknown image format (not BMP, PNG or JPEG)");
}

TEST(ImageCodec, SavesAndLoadsFiles) {
  const platform::Bitmap pattern = testdata::TestPattern(20, 10);
  const std::string path = TempPath("pattern.png");
  ASSERT_TRUE(platform::SavePngFile(pattern, path).Ok());
  platform::ImageResult loaded = platform::LoadImageFile(path);
  ASSERT_TRUE(loaded.Ok()) << loaded.Error;
  EXPECT_TRUE(loaded.Image == pattern);
}

TEST(ImageCodec, FileErrorsNameTheFile) {
  const std::string missing = TempPath("does-not-exist.png");
  platform::ImageResult result = platform::LoadImageFile(missing);
  EXPECT_FALSE(result.Ok());
  EXPECT_NE(result.Error.find(missing), std::string::npos) << result.Error;
  EXPECT_NE(result.Error.find("No such file"), std::string::npos) << result.Error;

  const std::string damaged = TempPath("damaged.bmp");
  std::ofstream(damaged, std::ios::binary) << "BM short";
  result = platform::LoadImageFile(damaged);
  EXPECT_FALSE(result.Ok());
  EXPECT_NE(result.Error.find(damaged), std::string::npos) << result.Error;
  EXPECT_NE(result.Error.find("BMP"), std::string::npos) << result.Error;

  const std::string unwritable = TempPath("no-such-folder/out.png");
  platform::FileResult written = platform::SavePngFile(testdata::TestPattern(2, 2), unwritable);
  EXPECT_FALSE(written.Ok());
  EXPECT_NE(written.Error.find(unwritable), std::string::npos) << written.Error;
}

} // namespace
