// The picture collection of an image list: pictures in order of addition, found by key.
#pragma once

#include <QHash>
#include <QList>
#include <QPixmap>
#include <QString>
#include <functional>

namespace sarvo::controls {

class ListImages {
public:
    explicit ListImages(std::function<void()> changed = {});

    // A key already in the collection raises 35602; an empty key adds a picture without one.
    void Add(const QString& key, const QPixmap& picture);
    QPixmap Item(const QString& key) const; // 35601 when missing
    QPixmap Item(int index) const;          // 1-based; 35601 when out of range
    int Count() const { return static_cast<int>(m_pictures.size()); }
    void Clear();

    // The picture of a key without raising: null when missing (for drawing).
    const QPixmap* find(const QString& key) const;

private:
    QList<QPixmap> m_pictures;
    QHash<QString, qsizetype> m_keys;
    std::function<void()> m_changed;
};

} // namespace sarvo::controls
