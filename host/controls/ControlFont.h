// A control's Font object, reached late-bound by name: Name, Size and Charset, and the same
// three again as FontName, FontSize and FontCharset. Assignments change the widget's font.
// An empty name is refused with run-time error 380, as the host's font object does.
#pragma once

#include "runtime/DispatchObject.h"

#include <QPointer>
#include <QWidget>

namespace sarvo::controls {

class ControlFont : public DispatchObject {
public:
    explicit ControlFont(QWidget* widget);

    QString name() const;
    void setName(const QString& name);
    double size() const; // points
    void setSize(double points);
    // Kept for the host's font interface; Qt chooses glyphs by Unicode, not by character set.
    int16_t charset() const { return m_charset; }
    void setCharset(int16_t charset) { m_charset = charset; }

private:
    QWidget* widget() const; // raises 91 once the control is gone

    QPointer<QWidget> m_widget;
    int16_t m_charset = 0;
};

} // namespace sarvo::controls
