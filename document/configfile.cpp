#include "document/configfile.h"

#include "document/linebreaks.h"
#include "document/systemencoder.h"

#include <algorithm>

namespace fennick {

QByteArray configFileBytes(const QString &document)
{
    QByteArray bytes = SystemEncoder().encode(document);
    bytes.append("\r\n", 2);
    return bytes;
}

QByteArray configFileBytesFromEditorText(QStringView editorText)
{
    SystemEncoder encoder;
    // Room for the whole text, each line break's room holding its CR LF;
    // grown below only if an encoding ever asks for less.
    QByteArray bytes(encoder.requiredSpace(editorText.size()) + 2, Qt::Uninitialized);
    qsizetype used = 0;
    const auto appendLine = [&](QStringView line) {
        const qsizetype needed = encoder.requiredSpace(line.size()) + 2;
        if (bytes.size() - used < needed)
            bytes.resize(std::max(used + needed, 2 * bytes.size()));
        // No line break ends inside a surrogate pair, so encoding line by
        // line, stateless, gives the same bytes as encoding the whole text.
        char *end = encoder.appendToBuffer(bytes.data() + used, line);
        *end++ = '\r';
        *end++ = '\n';
        used = end - bytes.constData();
    };
    forEachLine(editorText, appendLine); // the last line gets the file's closing CR LF
    bytes.truncate(used);
    return bytes;
}

} // namespace fennick
