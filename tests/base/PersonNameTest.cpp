#include "base/core/PersonName.h"

#include <gtest/gtest.h>

using namespace vexa;

TEST(ReadablePersonName, JoinsComponentsByBlanksAndDropsEmptyOnes)
{
    const struct {
        const char* stored;
        const char* shown;
    } cases[] = {
        {"Moriarty^James", "Moriarty James"},
        {"DUPONT^JEAN^^^", "DUPONT JEAN"},
        {"^^Marie^^", "Marie"},
        {"O'BRIEN^ PAT ^^DR", "O'BRIEN PAT DR"},
        {"DR HOUSE", "DR HOUSE"},
        {"ÉMILE^ZOLA", "ÉMILE ZOLA"},
        {"^^^", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(readablePersonName(QString::fromUtf8(c.stored)), QString::fromUtf8(c.shown));
    }
    EXPECT_FALSE(readablePersonName(QString()).isNull()); // stored as "", never as NULL
}
