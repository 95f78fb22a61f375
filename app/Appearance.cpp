// Colours, icons and keyboard cues of the window.
#include "FUserInfo.h"

namespace tw::app {

void FUserInfo::InitializeKeyboardCues() {}

void FUserInfo::RemoveKeyboardCues() {}

void FUserInfo::DetectVisualStyles() {}

void FUserInfo::ApplyColorsAndIcons() {}

void FUserInfo::ApplyFieldColors(TextBox&) {}

void FUserInfo::SubclassWindow() {}

void FUserInfo::UnsubclassWindow() {}

void FUserInfo::Cue() {}

void FUserInfo::UnCue() {}

} // namespace tw::app
