// Keyed picture collection.
#include "host/controls/ListImages.h"

#include "runtime/RuntimeError.h"

namespace sarvo::controls {

ListImages::ListImages(std::function<void()> changed) : m_changed(std::move(changed)) {}

void ListImages::Add(const QString& key, const QPixmap& picture) {
    if (!key.isEmpty()) {
        if (m_keys.contains(key)) raise(ErrorCode::KeyNotUnique, key);
        m_keys.insert(key, m_pictures.size());
    }
    m_pictures.append(picture);
    if (m_changed) m_changed();
}

QPixmap ListImages::Item(const QString& key) const {
    const QPixmap* picture = find(key);
    if (!picture) raise(ErrorCode::ElementNotFound, key);
    return *picture;
}

QPixmap ListImages::Item(int index) const {
    if (index < 1 || index > Count()) raise(ErrorCode::ElementNotFound, QString::number(index));
    return m_pictures.at(index - 1);
}

void ListImages::Clear() {
    m_pictures.clear();
    m_keys.clear();
    if (m_changed) m_changed();
}

const QPixmap* ListImages::find(const QString& key) const {
    const auto it = m_keys.constFind(key);
    return it == m_keys.constEnd() ? nullptr : &m_pictures.at(*it);
}

} // namespace sarvo::controls
