#pragma once
// The settings store as its file holds it: keys, their named values and the
// exact bytes of each, and the text they are written as. Reading that text
// skips what is malformed; what is written reads back the same.
#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

namespace registry {

struct Value {
    QString name;
    QByteArray bytes;
};

// Names are found through an index of their folded form, so that reading a
// store costs the same for each value however many there are.
struct Key {
    QString path; // begins with the hive's name
    std::vector<Value> values;
    QHash<QString, std::size_t> places; // a value's folded name: its place in `values`
};

struct Store {
    std::vector<Key> keys;
    QHash<QString, std::size_t> places; // a key's folded path: its place in `keys`
};

// Key and value names compare without regard to letter case: the same folded.
QString Folded(const QString& name);

// The key at `path`; null when missing.
Key* FindKey(Store& store, const QString& path);

// The key at `path`, added when missing.
Key& KeyAt(Store& store, const QString& path);

// The value of the key named `name`; null when missing.
const Value* FindValue(const Key& key, const QString& name);

// Sets a value of the key, adding it when missing.
void Put(Key& key, const QString& name, const QByteArray& bytes);

// The keys in the text of a store file; malformed lines are skipped.
Store Parse(const QByteArray& text);

// The text of a store file holding `store`.
QByteArray Format(const Store& store);

} // namespace registry
