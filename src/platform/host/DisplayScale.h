#pragma once
// The factor by which the host shows every top-level window enlarged on a
// high-density screen (1 to 3): chosen on the command line or, for "auto",
// from the desktop's settings.

namespace platform {

constexpr int AutoDisplayScale = 0; // choose from the desktop's settings
constexpr int MaxDisplayScale = 3;

// The factor for "auto" from the text of the environment variable GDK_SCALE
// and of the X resource Xft.dpi (nullptr: not set). GDK_SCALE decides when it
// holds a whole number of 1 or more (larger than 3 gives 3); otherwise
// Xft.dpi: 3 from 240, 2 from 144, else 1; without either, 1.
int ChooseDisplayScale(const char* aGdkScale, const char* aXftDpi);

} // namespace platform
