#include "ui/messagewords.h"

#include <QCoreApplication>

namespace fennick {

QString asSentence(const QString &words)
{
    QString sentence = words.trimmed();
    if (sentence.isEmpty())
        return {};
    sentence[0] = sentence[0].toUpper();
    if (!sentence.endsWith(u'.'))
        sentence += u'.';
    return sentence;
}

QString fileKindName(FileKind kind)
{
    const auto tr = [](const char *text) {
        return QCoreApplication::translate("fennick::MessageWords", text);
    };
    switch (kind) {
    case FileKind::File:
        return tr("a file");
    case FileKind::CharacterDevice:
        return tr("a device");
    case FileKind::BlockDevice:
        return tr("a disk device");
    case FileKind::Pipe:
        return tr("a pipe (FIFO)");
    case FileKind::Socket:
        return tr("a socket");
    case FileKind::Other:
        break;
    }
    return tr("a special file");
}

} // namespace fennick
