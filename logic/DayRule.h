#pragma once

#include <QString>
#include <QStringList>

// Day rules of timer rows. They are stored and compared as the English words;
// only the empty state "not set" is shown translated.
namespace qelt {

inline constexpr const char *kRuleEveryday = "Everyday";
inline constexpr const char *kRuleWeekdays = "Weekdays";
inline constexpr const char *kRuleWeekends = "Weekends";
inline constexpr const char *kRuleFriSat = "Fri & Sat";
inline constexpr const char *kRuleSunThu = "Sun - Thu";
inline constexpr const char *kRuleOneTime = "One Time";
inline constexpr const char *kRuleNever = "Never";

// The seven rule words in list order (index 0 to 6).
QStringList DayRuleWords();
// LangCap("not set"): the caption of a row without action or time.
QString NotSetText();
// One of the seven words.
bool IsDayRule(const QString &rule);

// Weekdays are Qt's: Monday = 1 .. Sunday = 7.
// True when a row with this rule may start on that day. "Never", empty and
// "not set" (English or translated) never start; any other text, "One Time"
// and unknown words included, starts every day.
bool DayRuleLetsRun(const QString &rule, int qtWeekday);

// Back colour of a day-rule label for that day (RGB): green when the rule
// lets the row run today, yellow when it keeps it idle; RuleShade::Keep for
// captions whose colour is not day-dependent ("One Time", "Never", "not set",
// anything else).
enum class RuleShade { Active, Idle, Keep };
RuleShade DayRuleShade(const QString &rule, int qtWeekday);

// Label colours (RGB).
inline constexpr unsigned kRuleActiveRgb = 0xC0FFC0; // light green
inline constexpr unsigned kRuleIdleRgb = 0xFFFFC0;   // light yellow
inline constexpr unsigned kRuleNeverRgb = 0xFFC0C0;  // light red
inline constexpr unsigned kRuleNotSetRgb = 0xE0E0E0; // grey (also loop off)
inline constexpr unsigned kRuleNewRowRgb = 0xC0C0C0; // a row just added

} // namespace qelt
