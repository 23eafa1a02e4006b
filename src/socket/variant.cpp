#include "socket/variant.h"

namespace vb {
namespace {

template <class... F> struct Overloaded : F... {
    using F::operator()...;
};
// Spelled out for compilers without deduction for aggregates (clang before 17).
template <class... F> Overloaded(F...) -> Overloaded<F...>;

} // namespace

Variant Variant::Null()
{
    Variant v;
    v.value_ = NullValue{};
    return v;
}

std::int32_t Variant::VarType() const
{
    return std::visit(Overloaded{
                          [](std::monostate) { return vbEmpty; },
                          [](NullValue) { return vbNull; },
                          [](std::uint8_t) { return vbByte; },
                          [](std::int16_t) { return vbInteger; },
                          [](std::int32_t) { return vbLong; },
                          [](float) { return vbSingle; },
                          [](double) { return vbDouble; },
                          [](Currency) { return vbCurrency; },
                          [](Date) { return vbDate; },
                          [](bool) { return vbBoolean; },
                          [](const QString&) { return vbString; },
                          [](const QByteArray&) { return vbByteArray; },
                      },
                      value_);
}

bool Variant::IsNumeric() const
{
    switch (VarType()) {
    case vbNull:
    case vbDate:
    case vbByteArray: return false;
    case vbString: {
        bool ok = false;
        As<QString>().trimmed().toDouble(&ok);
        return ok;
    }
    default: return true;
    }
}

double Variant::ToNumber() const
{
    return std::visit(Overloaded{
                          [](std::monostate) { return 0.0; },
                          [](NullValue) { return 0.0; },
                          [](Currency c) { return static_cast<double>(c.scaled) / 10000.0; },
                          [](Date d) { return d.serial; },
                          [](bool b) { return b ? -1.0 : 0.0; },
                          [](const QString& s) { return s.trimmed().toDouble(); },
                          [](const QByteArray&) { return 0.0; },
                          [](auto n) { return static_cast<double>(n); },
                      },
                      value_);
}

QString Variant::ToString() const
{
    return std::visit(Overloaded{
                          [](std::monostate) { return QString(); },
                          [](NullValue) { return QString(); },
                          [](Currency c) { return QString::number(static_cast<double>(c.scaled) / 10000.0); },
                          [](Date d) { return QString::number(d.serial); },
                          [](bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); },
                          [](const QString& s) { return s; },
                          [](const QByteArray& a) { return QString::fromLatin1(a); },
                          [](auto n) { return QString::number(n); },
                      },
                      value_);
}

} // namespace vb
