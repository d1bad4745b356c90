#include "logic/RfFrame.h"

namespace qelt {

namespace {

// The bytes around a command code in a frame (D5 AA ... AD).
constexpr const char *kFrameHead = "1101010110101010";
constexpr const char *kFrameTail = "10101101";

} // namespace

bool IsCmdCode(const QString &code)
{
    if (code.size() != 16)
        return false;
    for (const QChar ch : code)
        if (ch != u'0' && ch != u'1')
            return false;
    return true;
}

QString RfFrame(const QString &code)
{
    if (!IsCmdCode(code))
        return {};
    return QLatin1StringView(kFrameHead) + code + QLatin1StringView(kFrameTail);
}

} // namespace qelt
