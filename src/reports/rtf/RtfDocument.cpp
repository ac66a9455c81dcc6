#include "reports/rtf/RtfDocument.h"

namespace vexa {

RtfDocument::RtfDocument()
    : body(std::make_unique<QTextDocument>())
{
}
RtfDocument::RtfDocument(RtfDocument&&) noexcept = default;
RtfDocument& RtfDocument::operator=(RtfDocument&&) noexcept = default;
RtfDocument::~RtfDocument() = default;

} // namespace vexa
