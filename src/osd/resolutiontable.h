// The screen sizes of the resolution toggle's six choices (0 to 2
// landscape, 3 to 5 their portrait forms), both ways: the size a choice
// sets and the choice a screen opens the toggle on.
#pragma once

#include <windows.h>

namespace osd {

constexpr int kResolutionTableChoices = 6;

// The size of a choice; any value outside 0 to 5 gives 800 x 480.
SIZE ScreenSizeOfChoice(int choice);

// The choice a screen of this size opens on: its own row of the table; else
// a screen at least 1024 wide gives 1024 x 600, one at least 1024 high
// 600 x 1024; a narrower one keeps its orientation: below 800 wide
// 800 x 480 (portrait 480 x 800), 800 to 1023 wide 1024 x 600 (portrait 600 x 1024).
int ChoiceOfScreenSize(int width, int height);

// The choice a given size is set as: 1024 wide counts as 1024 x 600, 600
// high as 800 x 600, anything else as 800 x 480.
int ChoiceOfRequestedSize(int width, int height);

// The two sizes at which the screen may rotate and stays before sleep.
bool IsRotatableSize(int width, int height);
// What a screen of another size is put back to before sleep.
SIZE SleepSizeOf(int width, int height);

}  // namespace osd
