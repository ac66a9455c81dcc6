#include "base/core/Numeric.h"
#include "ScriptedDialogService.h"
#include "base/core/Dates.h"
#include "base/core/DialogService.h"
#include <gtest/gtest.h>

using namespace vexa;

TEST(Numeric, RoundsHalvesToEven)
{
    const std::pair<double, int64_t> cases[]
        = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.49, 0}, {1.51, 2}, {-0.5, 0}};
    for (auto [value, expected] : cases)
        EXPECT_EQ(roundHalfEven(value), expected) << value;
}

TEST(Numeric, ReadsTheNumericPrefixOfAText)
{
    const std::pair<const char*, double> cases[] = {
        {"", 0},
        {"abc", 0},
        {"12", 12},
        {" 2.5", 2.5},
        {"-1", -1},
        {"0.5x", 0.5},
        {"3.5e1", 35},
        {"7e", 7},
        {"+4", 4},
        {".", 0},
        {"-", 0},
        {".25", 0.25},
    };
    for (auto [text, expected] : cases)
        EXPECT_DOUBLE_EQ(numericPrefix(QString::fromUtf8(text)), expected) << text;
}

TEST(Numeric, ConvertsTwipsAndPixels)
{
    EXPECT_EQ(pixelsToTwips(100), 1500);
    EXPECT_EQ(twipsToPixels(1500), 100);
    EXPECT_EQ(twipsToPixels(22.5), 2); // 1.5 pixels: halves to even
}

TEST(Dates, ConvertsBetweenTheThreeForms)
{
    EXPECT_EQ(dateFromYyyymmdd("20261209"), QDate(2026, 12, 9));
    EXPECT_FALSE(dateFromYyyymmdd("2026129").isValid());
    EXPECT_FALSE(dateFromYyyymmdd("20261332").isValid());
    EXPECT_EQ(toDdMmYyyy(QDate(2026, 1, 5)), "05/01/2026");
    EXPECT_EQ(dateFromDdMmYyyy("05/01/2026"), QDate(2026, 1, 5));
    EXPECT_EQ(yyyymmddToDdMmYyyy("20260105"), "05/01/2026");
    EXPECT_EQ(yyyymmddToDdMmYyyy("inconnu"), "inconnu");
}

TEST(DialogService, ScriptAnswersInOrderAndCountsUnexpectedQuestions)
{
    ScriptedDialogService script;
    script.answerMessage(MsgResult::No);
    EXPECT_EQ(msgBox("Q ?", MsgIcon::Question, MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(msgBox("Encore ?", MsgIcon::Question, MsgButtons::YesNo, "VexaDICOM", MsgResult::Yes),
        MsgResult::Yes);
    ASSERT_EQ(script.messages.size(), 2u);
    EXPECT_EQ(script.messages[0].text, "Q ?");
    EXPECT_EQ(script.unexpected, 1);
}
