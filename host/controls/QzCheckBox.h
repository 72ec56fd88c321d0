// Check box of the control set: the attribute boxes, the not-closed box and the tree-display box.
// Click is raised only when the user toggles the box (mouse or space bar); assigning Value in
// code changes the box without raising Click, so the form can restore a state without running
// its own click handler.
// The caption colour is ForeColor unless the style service has applied a highlight, which wins
// until it is reset. Colours are taken when the box is painted: changing them only asks for a
// paint, once, when the event loop next runs and the colour to show differs from the one on
// screen, so a reset followed by the same style again costs nothing. A click anywhere on the
// box's rectangle toggles it, not only on the indicator and the caption's text.
#pragma once

#include "host/controls/ControlBase.h"

#include <QCheckBox>
#include <QColor>
#include <cstdint>
#include <memory>
#include <optional>

namespace sarvo::controls {

class ControlFont;

class QzCheckBox : public QCheckBox, public ControlBase {
    Q_OBJECT
    Q_PROPERTY(bool highlighted READ highlighted)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    explicit QzCheckBox(QWidget* parent = nullptr);
    ~QzCheckBox() override;

    int16_t Value() const;        // 1 ticked, 0 not
    void SetValue(int16_t value); // 0 or 1, else 380; raises no Click
    bool Enabled() const;
    void SetEnabled(bool enabled);
    QColor ForeColor() const;
    void SetForeColor(const QColor& color);
    void SetForeColorRgb(int32_t rgb); // the host's colour number: red + green*256 + blue*65536
    QString Caption() const;
    void SetCaption(const QString& caption);
    int32_t hWnd() const { return m_handle; }
    // Brings the box on screen up to date at the next paint of the event loop: repainted then
    // when its caption colour changed since it was last drawn, left alone otherwise.
    void Refresh();
    QColor captionColor() const; // the colour the caption is drawn in
    std::shared_ptr<ControlFont> Font();

    bool highlighted() const { return m_highlight.has_value(); }

signals:
    void Click();

protected:
    bool hitButton(const QPoint& pos) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class StyleService;
    void setHighlight(std::optional<QColor> color);
    void lookChanged();

    int32_t m_handle;
    QColor m_foreColor; // invalid: the style's own text colour
    std::optional<QColor> m_highlight;
    QColor m_drawnColor;             // caption colour of the last paint
    bool m_lookCheckPending = false; // a comparison with the screen is queued
    std::shared_ptr<ControlFont> m_font;
};

} // namespace sarvo::controls
