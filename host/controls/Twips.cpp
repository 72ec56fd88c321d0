// Conversions between twips and device-independent pixels.
#include "host/controls/Twips.h"

#include <cmath>

namespace sarvo::controls {

int Twips::toPixels(double twips) {
    return static_cast<int>(std::lround(twips / kPerPixel));
}

int Twips::fromPixels(int pixels) {
    return pixels * kPerPixel;
}

float Twips::fromPixelsF(double pixels) {
    return static_cast<float>(pixels * kPerPixel);
}

} // namespace sarvo::controls
