// The keyboard and mouse as the frame loop reads them, once per frame.
#pragma once

#include "meshpeek/state.h"

namespace meshpeek {

// The point the cursor is put back on after every frame; motion away from it
// turns the model.
struct MouseReference {
  int x, y;
};

void centreMouse(const MouseReference& reference);

// Clears the "pressed" state of S, Enter, Tab and the digits, so that presses
// made before the window opened do nothing.
void forgetEarlierPresses();

// I held: whole frames only.
bool stillHeld();

// Held keys, mouse motion (the cursor is put back afterwards) and pressed
// keys. Tab and the digits are asked about only when there are skins.
FrameInput readFrameInput(const MouseReference& reference, int skinCount);

}  // namespace meshpeek
