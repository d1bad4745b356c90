#include "logic/TextCodec.h"

#include "logic/Cipher.h"

#include <QStringDecoder>

namespace qelt {

bool FitsAnsi(const QString &text)
{
    return FromAnsi(ToAnsi(text)) == text;
}

QByteArray EncodeText(const QString &text)
{
    // A one-byte text whose bytes also form UTF-8 (such as "Ã©") would read
    // back changed; UTF-8 keeps it.
    if (FitsAnsi(text)) {
        const QByteArray ansi = ToAnsi(text);
        if (DecodeText(ansi) == text)
            return ansi;
    }
    return text.toUtf8();
}

QString DecodeText(const QByteArray &bytes, bool keepByteOrderMark)
{
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, keepByteOrderMark
                                                  ? QStringConverter::Flag::ConvertInitialBom
                                                  : QStringConverter::Flag::Default);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return FromAnsi(bytes);
}

} // namespace qelt
