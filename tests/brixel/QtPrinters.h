#pragma once
// Readable GoogleTest messages for the Qt values these tests compare.
#include <QColor>
#include <QRect>
#include <QStringList>
#include <ostream>

inline void printTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void printTo(const QStringList& list, std::ostream* out)
{
    *out << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}

inline void printTo(const QColor& colour, std::ostream* out)
{
    *out << colour.name(QColor::HexArgb).toStdString();
}

inline void printTo(const QPoint& point, std::ostream* out)
{
    *out << '(' << point.x() << ", " << point.y() << ')';
}

inline void printTo(const QSize& size, std::ostream* out)
{
    *out << size.width() << " x " << size.height();
}

inline void printTo(const QRect& rect, std::ostream* out)
{
    *out << '(' << rect.x() << ", " << rect.y() << ") " << rect.width() << " x " << rect.height();
}
