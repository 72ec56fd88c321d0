// What every control of the host's control set offers as a child of its container: visibility,
// position and size in twips, and focus. Mixed into each control next to its Qt widget class.
#pragma once

#include <QRect>
#include <QString>

class QWidget;

namespace sarvo::controls {

class ControlBase {
public:
    virtual ~ControlBase();
    ControlBase(const ControlBase&) = delete;
    ControlBase& operator=(const ControlBase&) = delete;

    // The control's own visibility flag: true even while its form is not yet shown.
    bool Visible() const;
    void SetVisible(bool visible);

    // Twips, relative to the container (the form or a frame). A value set is read back exactly,
    // although the widget itself sits on the nearest whole pixel. Negative sizes raise 380.
    int Left() const;
    void SetLeft(int twips);
    int Top() const;
    void SetTop(int twips);
    int Width() const;
    void SetWidth(int twips);
    int Height() const;
    void SetHeight(int twips);
    void Move(int left, int top, int width, int height);

    // Enabled, not hidden and accepting focus. SetFocus raises 5 when the control cannot take it.
    bool CanFocus() const;
    void SetFocus();

    // Run-time error 380, "Invalid property value", with what was wrong.
    [[noreturn]] static void raiseInvalidPropertyValue(const QString& detail);

protected:
    explicit ControlBase(QWidget* self);

private:
    QRect twipsGeometry() const;
    void place(int left, int top, int width, int height);

    QWidget* m_self;
    bool m_placed = false;
    QRect m_twips;  // last geometry set, in twips
    QRect m_pixels; // what it was applied as; a widget moved by other means reads in whole pixels
};

} // namespace sarvo::controls
