#pragma once
#include <QString>

#include <cstddef>

namespace vexa {

// The text stops there, with a line saying so: no real file comes near it.
constexpr std::size_t maxTagsTextBytes = std::size_t{16} << 20;

// The file's meta header and data set as readable text, one element a line;
// on failure a line saying why.
QString dicomTagsText(const QString& path, std::size_t maxTextBytes = maxTagsTextBytes);

} // namespace vexa
