#include "logic/DayRule.h"

#include "logic/Lang.h"

namespace qelt {

QStringList DayRuleWords()
{
    return {kRuleEveryday, kRuleWeekdays, kRuleWeekends, kRuleFriSat,
            kRuleSunThu,   kRuleOneTime,  kRuleNever};
}

QString NotSetText()
{
    return LangCap(QStringLiteral("not set"));
}

bool IsDayRule(const QString &rule)
{
    return DayRuleWords().contains(rule);
}

namespace {

// The day rules that depend on the day: true when the rule runs that day.
// Weekdays Monday..Friday; weekends Saturday and Sunday; "Sun - Thu" Sunday
// to Thursday; "Fri & Sat" Friday and Saturday.
bool runsOn(const QString &rule, int qtWeekday, bool *dayDependent)
{
    const bool weekend = qtWeekday == 6 || qtWeekday == 7;
    *dayDependent = true;
    if (rule == QLatin1String(kRuleWeekdays))
        return !weekend;
    if (rule == QLatin1String(kRuleWeekends))
        return weekend;
    if (rule == QLatin1String(kRuleSunThu))
        return qtWeekday == 7 || qtWeekday <= 4;
    if (rule == QLatin1String(kRuleFriSat))
        return qtWeekday == 5 || qtWeekday == 6;
    *dayDependent = false;
    return true;
}

} // namespace

bool DayRuleLetsRun(const QString &rule, int qtWeekday)
{
    if (rule.isEmpty() || rule == QLatin1String(kRuleNever) || rule == QLatin1String("not set") ||
        rule == NotSetText())
        return false;
    bool dayDependent = false;
    return runsOn(rule, qtWeekday, &dayDependent);
}

RuleShade DayRuleShade(const QString &rule, int qtWeekday)
{
    if (rule == QLatin1String(kRuleEveryday))
        return RuleShade::Active;
    bool dayDependent = false;
    const bool runs = runsOn(rule, qtWeekday, &dayDependent);
    if (!dayDependent)
        return RuleShade::Keep;
    return runs ? RuleShade::Active : RuleShade::Idle;
}

} // namespace qelt
