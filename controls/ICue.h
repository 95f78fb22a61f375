// Asks a window to show or hide its keyboard cues (focus rectangles and
// access-key underlines). The keyboard and mouse hooks are its only callers.
#pragma once

namespace tw::controls {

class ICue {
public:
    virtual ~ICue() = default;
    virtual void Cue() = 0;
    virtual void UnCue() = 0;
};

} // namespace tw::controls
