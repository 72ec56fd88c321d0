// The form's line: from (X1, Y1) to (X2, Y2) in twips on its container, one pixel wide, drawn
// in the container's text colour. It takes no mouse input, so it never gets in the way of the
// control under it.
#pragma once

#include <QWidget>

namespace sarvo::controls {

class FormLine : public QWidget {
    Q_OBJECT

public:
    explicit FormLine(QWidget* parent = nullptr);

    int X1() const { return m_x1; }
    void SetX1(int twips);
    int X2() const { return m_x2; }
    void SetX2(int twips);
    int Y1() const { return m_y1; }
    void SetY1(int twips);
    int Y2() const { return m_y2; }
    void SetY2(int twips);
    bool Visible() const { return !isHidden(); }
    void SetVisible(bool visible) { setVisible(visible); }
    // 0 brings the line in front of its siblings, 1 sends it behind them.
    void ZOrder(int position = 0);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void relayout();

    int m_x1 = 0, m_x2 = 0, m_y1 = 0, m_y2 = 0;
};

} // namespace sarvo::controls
