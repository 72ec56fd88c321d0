// The form's image: shows a picture stretched over its rectangle and reports the mouse.
// MouseDown, MouseMove and MouseUp carry the button (1 left, 2 right, 4 middle; for MouseMove
// the buttons held, added together), the shift state (1 Shift, 2 Ctrl, 4 Alt) and the pointer
// position in twips relative to the image's top-left corner. MouseMove is raised with or
// without a button held; while a button is held the image keeps the mouse, so moves and the
// release outside it are still reported.
#pragma once

#include "host/controls/ControlBase.h"

#include <QPixmap>
#include <QWidget>

namespace sarvo::controls {

class FormImage : public QWidget, public ControlBase {
    Q_OBJECT

public:
    explicit FormImage(QWidget* parent = nullptr);

    QPixmap Picture() const { return m_picture; }
    void SetPicture(const QPixmap& picture);

    static int buttonCode(Qt::MouseButtons buttons);

signals:
    void MouseDown(int button, int shift, float x, float y);
    void MouseMove(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace sarvo::controls
