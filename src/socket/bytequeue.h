#pragma once
// Bytes taken from the front and added at the back, without moving the whole
// rest at every take: a send buffer of megabytes leaves in many small chunks.
#include <QByteArray>
#include <algorithm>

class ByteQueue {
public:
    qsizetype size() const { return bytes_.size() - head_; }
    bool isEmpty() const { return size() == 0; }
    const char* data() const { return bytes_.constData() + head_; }
    QByteArray front(qsizetype n) const { return QByteArray(data(), std::min(n, size())); }

    void append(const QByteArray& more) { bytes_.append(more); }
    void clear()
    {
        bytes_.clear();
        head_ = 0;
    }
    void pop(qsizetype n)
    {
        head_ += std::min(n, size());
        if (head_ == bytes_.size())
            clear();
        else if (head_ > bytes_.size() / 2) {
            bytes_.remove(0, head_);
            head_ = 0;
        }
    }

    // Room for n more bytes at the back, to be filled and then kept with commit.
    char* reserve(qsizetype n)
    {
        filled_ = bytes_.size();
        bytes_.resize(filled_ + n);
        return bytes_.data() + filled_;
    }
    void commit(qsizetype n) { bytes_.resize(filled_ + std::max<qsizetype>(n, 0)); }

private:
    QByteArray bytes_;
    qsizetype head_ = 0;
    qsizetype filled_ = 0;
};
