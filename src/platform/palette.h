#pragma once

#include "platform/colour.h"

namespace vz {

// The program's fixed colours.
inline constexpr Colour BACKGROUND_COLOUR = rgb(204, 204, 153);
inline constexpr Colour FIRST_GROUP_COLOUR = rgb(84, 255, 159);
inline constexpr Colour SECOND_GROUP_COLOUR = rgb(255, 105, 180);
inline constexpr Colour UP_ARROW_COLOUR = rgb(34, 139, 34);
inline constexpr Colour DOWN_ARROW_COLOUR = rgb(238, 0, 0);

// Every control and drawn text of the three windows uses this face, passed
// unchanged to the platform's font matcher.
inline constexpr const char* FONT_FACE = "Ariel";
inline constexpr int FONT_POINTS = 8;
inline constexpr int FONT_WEIGHT = 700;

} // namespace vz
