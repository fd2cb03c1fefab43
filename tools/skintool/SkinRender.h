#pragma once
// skintool render: one section of a skin painted into a bitmap of a given
// size, in a given state, over a plain parent colour or a parent image, the
// way a control of that section paints itself; written as a PNG.

#include <optional>
#include <ostream>
#include <string>

// The command's arguments as written; RenderCommand checks their values.
struct TRenderArguments {
  std::string Skin; // a skin folder, a .qsz file, or "verdant" for the built-in skin
  std::string Section;
  std::string Width;
  std::string Height;
  std::optional<std::string> State;  // a whole number, 0 when absent
  std::optional<std::string> Parent; // RRGGBB (or #RRGGBB), else an image file
  std::string OutFile;
};

// The largest width and height rendered.
inline constexpr int MaxRenderSide = 4096;

// The argument naming the built-in skin.
inline constexpr const char* BuiltInSkinArgument = "verdant";

// Renders and writes the PNG; returns 0, or 1 with a message on aErr.
int RenderCommand(const TRenderArguments& aArguments, std::ostream& aErr);
