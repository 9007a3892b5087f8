#include <gtest/gtest.h>

#include "paste/counter.h"
#include "paste/date_time.h"
#include "paste/item_kind.h"
#include "paste/sequence.h"
#include "storage/errors.h"

namespace {

using paste::ItemKind;
using platform::EraYear;
using platform::LocalTime;

// Code page 932 text: 年, 月, 日, 時, 分.
const std::string kYear = "\x94\x4e", kMonth = "\x8c\x8e", kDay = "\x93\xfa";
const std::string kHour = "\x8e\x9e", kMinute = "\x95\xaa";
// 明治, 大正, 昭和, 平成, 令和.
const std::string kMeiji = "\x96\xbe\x8e\xa1", kTaisho = "\x91\xe5\x90\xb3",
                  kShowa = "\x8f\xba\x98\x61", kHeisei = "\x95\xbd\x90\xac",
                  kReiwa = "\x97\xdf\x98\x61";

LocalTime at(int year, int month, int day, int hour = 0, int minute = 0) {
    return {year, month, day, hour, minute, 0, 0};
}

std::string eraForm(const LocalTime& date, std::optional<EraYear> systemEra = std::nullopt) {
    return paste::formatDateOrTime(ItemKind::DateEra, date, systemEra);
}

TEST(ItemKind, TheFirstRuleThatAppliesDecides) {
    EXPECT_EQ(paste::classify("-----memo"), ItemKind::Separator);
    EXPECT_EQ(paste::classify("----@NUM,1"), ItemKind::Separator);
    EXPECT_EQ(paste::classify("---"), ItemKind::Plain);
    EXPECT_EQ(paste::classify(""), ItemKind::Plain);
    EXPECT_EQ(paste::classify("\x81\x97\x93\xfa\x95\x74"), ItemKind::Plain);  // "＠日付"
    EXPECT_EQ(paste::classify("@\x93\xfa\x95\x74"), ItemKind::DateLong);      // "@日付"
    EXPECT_EQ(paste::classify("@\x93\xfa\x95\x74,-"), ItemKind::DateHyphen);
    EXPECT_EQ(paste::classify("@\x93\xfa\x95\x74,H"), ItemKind::DateEra);
    EXPECT_EQ(paste::classify("@\x8e\x9e\x8a\xd4"), ItemKind::Time);  // "@時間"
    EXPECT_EQ(paste::classify("@\x8e\x9e\x8a\xd4,:"), ItemKind::TimeColon);
    EXPECT_EQ(paste::classify("@\x93\xfa\x95\x74 "), ItemKind::Other);  // trailing blank
    EXPECT_EQ(paste::classify("@NUM"), ItemKind::Counter);
    EXPECT_EQ(paste::classify("@EXE"), ItemKind::Command);
    EXPECT_EQ(paste::classify("@URL,\x83\x6a\x83\x85\x81\x5b\x83\x58"),  // "@URL,ニュース"
              ItemKind::WebAddress);
    EXPECT_EQ(paste::classify("@PGM,"), ItemKind::Sequence);
    EXPECT_EQ(paste::classify("@num,1"), ItemKind::Other);
    EXPECT_EQ(paste::classify("@memo"), ItemKind::Other);
}

TEST(DateAndTime, NumericFormsHaveLeadingZeros) {
    const LocalTime morning = at(2026, 3, 9, 7, 4);
    EXPECT_EQ(paste::formatDateOrTime(ItemKind::DateLong, morning, {}),
              "2026" + kYear + "03" + kMonth + "09" + kDay);
    EXPECT_EQ(paste::formatDateOrTime(ItemKind::DateHyphen, morning, {}), "2026-03-09");
    EXPECT_EQ(paste::formatDateOrTime(ItemKind::Time, morning, {}), "07" + kHour + "04" + kMinute);
    const LocalTime evening = at(2026, 3, 9, 19, 4);
    EXPECT_EQ(paste::formatDateOrTime(ItemKind::Time, evening, {}), "19" + kHour + "04" + kMinute);
    EXPECT_EQ(paste::formatDateOrTime(ItemKind::TimeColon, evening, {}), "19:04");
}

TEST(DateAndTime, EraFormFromTheBuiltInTableHasNoLeadingZeros) {
    EXPECT_EQ(eraForm(at(2005, 1, 1)), kHeisei + "17" + kYear + "1" + kMonth + "1" + kDay);
    EXPECT_EQ(eraForm(at(2026, 12, 31)), kReiwa + "8" + kYear + "12" + kMonth + "31" + kDay);
}

TEST(DateAndTime, EraTableChangesEraOnItsFirstDay) {
    struct Case {
        LocalTime date;
        std::string era, year;
    };
    const Case cases[] = {
        {at(1868, 10, 23), kMeiji, "1"}, {at(1912, 7, 29), kMeiji, "45"},
        {at(1912, 7, 30), kTaisho, "1"}, {at(1926, 12, 24), kTaisho, "15"},
        {at(1926, 12, 25), kShowa, "1"}, {at(1989, 1, 7), kShowa, "64"},
        {at(1989, 1, 8), kHeisei, "1"},  {at(2019, 4, 30), kHeisei, "31"},
        {at(2019, 5, 1), kReiwa, "1"},
    };
    for (const Case& c : cases) {
        const auto era = paste::eraFromTable(c.date);
        ASSERT_TRUE(era) << c.date.year;
        EXPECT_EQ(era->eraName, c.era) << c.date.year << "-" << c.date.month << "-" << c.date.day;
        EXPECT_EQ(era->yearText, c.year) << c.date.year;
    }
    EXPECT_FALSE(paste::eraFromTable(at(1868, 10, 22)));
}

TEST(DateAndTime, EraFormTakesTheSystemsJapaneseEraWithoutItsLeadingZero) {
    const std::string futureEra = "\x90\x56";  // an era the table does not know yet: "新"
    EXPECT_EQ(eraForm(at(2040, 2, 3), EraYear{futureEra, "02"}),
              futureEra + "2" + kYear + "2" + kMonth + "3" + kDay);
    EXPECT_EQ(eraForm(at(2019, 5, 1), EraYear{kReiwa, "\x8c\xb3"}),  // "元"
              kReiwa + "\x8c\xb3" + kYear + "5" + kMonth + "1" + kDay);
}

TEST(DateAndTime, EraFormFallsBackToTheTableWhenTheSystemGivesNoJapaneseEra) {
    const std::string expected = kHeisei + "17" + kYear + "1" + kMonth + "1" + kDay;
    EXPECT_EQ(eraForm(at(2005, 1, 1), EraYear{"A.D.", "2005"}), expected);
    EXPECT_EQ(eraForm(at(2005, 1, 1), EraYear{"", "17"}), expected);
    EXPECT_EQ(eraForm(at(2005, 1, 1), EraYear{kHeisei, ""}), expected);
}

TEST(Counter, StepIsTheTitleAfterItsFifthByteAndValueTheWholeKeyCode) {
    const paste::Counter counter = paste::readCounter("@NUM,100", "10");
    EXPECT_EQ(counter.step, 100);
    EXPECT_EQ(counter.value, 10);
    EXPECT_EQ(paste::advancedKeyCode(counter), "110");
    EXPECT_EQ(paste::advancedKeyCode(paste::readCounter("@NUM,-1", "3")), "2");
    EXPECT_EQ(paste::advancedKeyCode(paste::readCounter("@NUMx+7", "007")), "14");
}

TEST(Counter, WrapsAroundAtThirtyTwoBits) {
    EXPECT_EQ(paste::advancedKeyCode(paste::readCounter("@NUM,1", "2147483647")), "-2147483648");
    EXPECT_EQ(paste::advancedKeyCode(paste::readCounter("@NUM,-1", "-2147483648")), "2147483647");
}

TEST(Counter, StepOrValueThatIsNoNumberFailsItsConversion) {
    EXPECT_THROW(paste::readCounter("@NUM", "10"), storage::ConversionError);
    EXPECT_THROW(paste::readCounter("@NUM,", "10"), storage::ConversionError);
    EXPECT_THROW(paste::readCounter("@NUM,1", ""), storage::ConversionError);
    EXPECT_THROW(paste::readCounter("@NUM,1", "2147483648"), storage::ConversionError);
}

TEST(Sequence, StepsAreTwoBytesEachAndEmptyAfterTheKeyCode) {
    EXPECT_EQ(paste::sequenceStep("00,T01,R", 1), "00");
    EXPECT_EQ(paste::sequenceStep("00,T01,R", 4), ",R");
    EXPECT_EQ(paste::sequenceStep("00,T01,R", 5), "");
    EXPECT_EQ(paste::sequenceStep("00,T0", 3), "0");
    EXPECT_EQ(paste::sequenceStep("000102030405060708", 6), "05");
}

}  // namespace
