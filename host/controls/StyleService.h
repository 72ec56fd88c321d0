// The control set's style service: draws a check box's caption in a highlight colour and back.
// One instance per thread, created on first use; controls are found by window handle.
//   "checkbutton.RGB-R-G-B"  caption in that colour (each part 0..255)
//   "" or any other text      plain
#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <optional>

namespace sarvo::controls {

class StyleService {
public:
    static StyleService& Instance();

    // An unknown handle, or a handle that is not a check box, is left alone.
    void SetStyle(int32_t hWnd, const QString& styleText);
    void ResetStyle(int32_t hWnd);

    // The colour a style text stands for; none for the plain style and for texts not understood.
    static std::optional<QColor> highlightColor(const QString& styleText);

private:
    StyleService() = default;
};

} // namespace sarvo::controls
