#pragma once
// The settings store as its file holds it: keys, their named values and the
// exact bytes of each, and the text they are written as. Reading that text
// skips what is malformed; what is written reads back the same.
#include <QByteArray>
#include <QString>

#include <vector>

namespace registry {

struct Value {
    QString name;
    QByteArray bytes;
};

struct Key {
    QString path; // begins with the hive's name
    std::vector<Value> values;
};

using Store = std::vector<Key>;

// Key and value names compare without regard to letter case.
bool SameName(const QString& a, const QString& b);

// The key at `path`; null when missing.
Key* FindKey(Store& store, const QString& path);

// The key at `path`, added when missing.
Key& KeyAt(Store& store, const QString& path);

// Sets a value of the key, adding it when missing.
void Put(Key& key, const QString& name, const QByteArray& bytes);

// The keys in the text of a store file; malformed lines are skipped.
Store Parse(const QByteArray& text);

// The text of a store file holding `store`.
QByteArray Format(const Store& store);

} // namespace registry
