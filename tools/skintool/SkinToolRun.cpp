#include "SkinToolRun.h"

#include "ProgramVersion.h"
#include "SkinRender.h"
#include "SkinTool.h"

namespace {

constexpr const char* kUsage =
    "usage: skintool pack DIR OUT.qsz\n"
    "       skintool unpack FILE.qsz DIR\n"
    "       skintool list FILE.qsz\n"
    "       skintool check FILE.qsz|DIR [--json]\n"
    "       skintool render SKIN SECTION WIDTH HEIGHT [--state N] [--parent RRGGBB|FILE.png] "
    "OUT.png\n"
    "       skintool --version\n"
    "       skintool --help\n";

// The render arguments: five in order, the two options anywhere after
// "render", each at most once and with its value; nothing when they do not
// have that shape.
std::optional<TRenderArguments> RenderArguments(const std::vector<std::string>& aArguments) {
  std::vector<std::string> positional;
  TRenderArguments result;
  for (std::size_t i = 1; i < aArguments.size(); ++i) {
    const std::string& a = aArguments[i];
    if (a == "--state" || a == "--parent") {
      std::optional<std::string>& option = a == "--state" ? result.State : result.Parent;
      if (option || i + 1 == aArguments.size())
        return std::nullopt;
      option = aArguments[++i];
    } else if (a.starts_with("--")) {
      return std::nullopt;
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 5)
    return std::nullopt;
  result.Skin = positional[0];
  result.Section = positional[1];
  result.Width = positional[2];
  result.Height = positional[3];
  result.OutFile = positional[4];
  return result;
}

} // namespace

int RunSkinTool(const std::vector<std::string>& aArguments, std::ostream& aOut,
                std::ostream& aErr) {
  const auto& a = aArguments;
  if (a.size() == 1 && a[0] == "--version") {
    aOut << "skintool " << ProgramVersion << '\n';
    return 0;
  }
  if (a.size() == 1 && a[0] == "--help") {
    aOut << kUsage;
    return 0;
  }
  if (a.size() == 3 && a[0] == "pack")
    return PackCommand(a[1], a[2], aErr);
  if (a.size() == 3 && a[0] == "unpack")
    return UnpackCommand(a[1], a[2], aErr);
  if (a.size() == 2 && a[0] == "list")
    return ListCommand(a[1], aOut);
  if ((a.size() == 2 || (a.size() == 3 && a[2] == "--json")) && a[0] == "check")
    return CheckCommand(a[1], a.size() == 3, aOut);
  if (!a.empty() && a[0] == "render")
    if (const auto render = RenderArguments(a))
      return RenderCommand(*render, aErr);
  aErr << kUsage;
  return 2;
}
