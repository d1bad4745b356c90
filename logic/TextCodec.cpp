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
    // Stateless: a sequence left unfinished at the end is an error, not
    // bytes held back for a next call, so a one-byte text ending in a letter
    // such as "\xE9" reads as Windows-1252 instead of losing that letter.
    QStringConverter::Flags flags = QStringConverter::Flag::Stateless;
    if (keepByteOrderMark)
        flags |= QStringConverter::Flag::ConvertInitialBom;
    QStringDecoder utf8(QStringDecoder::Utf8, flags);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return FromAnsi(bytes);
}

} // namespace qelt
