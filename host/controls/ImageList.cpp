// Image list object.
#include "host/controls/ImageList.h"

namespace sarvo::controls {

ImageList::ImageList(QObject* parent) : QObject(parent), m_images([this] { emit changed(); }) {}

} // namespace sarvo::controls
