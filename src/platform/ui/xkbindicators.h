// Reads the keyboard's Scroll Lock and Kana lock from the X server, by the
// names XKB gives the indicators ("Scroll Lock", "Kana"). A keymap without
// one of them has it off.
#pragma once

#include "platform/lockindicators.h"

#include <functional>

// A reader over the application's own X connection; empty when the program
// does not run on X11 (Wayland, the offscreen platform) or the server lacks
// XKB. Each call is one round trip.
std::function<CLockIndicators()> MakeXkbIndicatorReader();
