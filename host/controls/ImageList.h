// Image list: a form's store of keyed pictures, shown by the tree view it is attached to.
#pragma once

#include "host/controls/ListImages.h"

#include <QObject>

namespace sarvo::controls {

class ImageList : public QObject {
    Q_OBJECT

public:
    explicit ImageList(QObject* parent = nullptr);

    controls::ListImages& ListImages() { return m_images; }
    const controls::ListImages& ListImages() const { return m_images; }

signals:
    void changed();

private:
    controls::ListImages m_images;
};

} // namespace sarvo::controls
