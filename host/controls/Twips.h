// Twips: the unit every position and size of the dialog is given in (1440 to the inch).
// Fifteen twips make one device-independent pixel, so layouts given in twips scale with the
// screen's pixel ratio the way Qt scales everything else.
#pragma once

namespace sarvo::controls {

class Twips {
public:
    static constexpr int kPerPixel = 15;

    // Nearest whole pixel; halves round away from zero.
    static int toPixels(double twips);
    static int fromPixels(int pixels);
    // Mouse positions are reported in twips with the fraction of a pixel kept.
    static float fromPixelsF(double pixels);
};

} // namespace sarvo::controls
