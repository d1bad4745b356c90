#pragma once

#include <QString>

#include <functional>

namespace qelt {

// Called with the section and the English text of every LangCap and LangTip
// call while set (an empty function stops it), so that the tests can list
// every text the windows look up, also those put together at run time.
using LangLookupRecorder = std::function<void(const QString &section, const QString &text)>;
void SetLangLookupRecorder(LangLookupRecorder recorder);

} // namespace qelt
