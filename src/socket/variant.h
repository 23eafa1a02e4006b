#pragma once
// A value of any of the types the socket class sends and receives, with the
// type codes that its callers pass: Empty, Null, Byte, Integer, Long, Single,
// Double, Currency, Date, Boolean, String and Byte array.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <variant>

namespace vb {

enum VbVarType : std::int32_t {
    vbEmpty = 0,
    vbNull = 1,
    vbInteger = 2,
    vbLong = 3,
    vbSingle = 4,
    vbDouble = 5,
    vbCurrency = 6,
    vbDate = 7,
    vbString = 8,
    vbObject = 9,
    vbBoolean = 11,
    vbByte = 17,
    vbArray = 8192,
    vbByteArray = vbArray | vbByte,
};

// An amount of money as a whole number of ten-thousandths.
struct Currency {
    std::int64_t scaled = 0;
    bool operator==(const Currency&) const = default;
};

// Days since 30 December 1899; the fraction is the time of day.
struct Date {
    double serial = 0;
    bool operator==(const Date&) const = default;
};

class Variant {
public:
    Variant() = default; // Empty
    static Variant Null();
    Variant(bool v) : value_(v) {}
    Variant(std::uint8_t v) : value_(v) {}
    Variant(std::int16_t v) : value_(v) {}
    Variant(std::int32_t v) : value_(v) {}
    Variant(float v) : value_(v) {}
    Variant(double v) : value_(v) {}
    Variant(Currency v) : value_(v) {}
    Variant(Date v) : value_(v) {}
    Variant(const QString& v) : value_(v) {}
    Variant(const char* v) : value_(QString::fromUtf8(v)) {}
    Variant(const QByteArray& v) : value_(v) {}

    std::int32_t VarType() const;
    bool IsEmpty() const { return VarType() == vbEmpty; }
    // As the language's IsNumeric: numbers, Booleans, Empty, and text that reads as a number.
    bool IsNumeric() const;
    // The number a numeric value stands for (True is -1).
    double ToNumber() const;
    // The value as text; Empty and Null give the empty text.
    QString ToString() const;

    template <class T> const T& As() const { return std::get<T>(value_); }

    bool operator==(const Variant&) const = default;

private:
    struct NullValue {
        bool operator==(const NullValue&) const = default;
    };
    using Value = std::variant<std::monostate, NullValue, std::uint8_t, std::int16_t, std::int32_t,
                               float, double, Currency, Date, bool, QString, QByteArray>;
    Value value_;
};

} // namespace vb
