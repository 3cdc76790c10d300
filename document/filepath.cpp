#include "document/filepath.h"

#include <QDir>
#include <QFile>

#ifndef Q_OS_WIN
#include <pwd.h>
#include <unistd.h>
#endif

namespace fennick {

FilePath::FilePath(const QString &path)
    : m_path(QDir::fromNativeSeparators(path))
    , m_bytes(QFile::encodeName(m_path))
{
}

FilePath FilePath::fromSystemBytes(const QByteArray &bytes)
{
    FilePath path;
    path.m_bytes = bytes;
    path.m_path = QFile::decodeName(bytes);
    return path;
}

QString FilePath::shown() const
{
    return QDir::toNativeSeparators(m_path);
}

FilePath configFilePath()
{
#ifdef Q_OS_WIN
    return FilePath(QStringLiteral("C:/Config.ini"));
#else
    // Not QDir::homePath(): it turns an empty HOME into "/" and keeps a
    // relative one, and its QString loses bytes that are not UTF-8.
    QByteArray home = qgetenv("HOME");
    if (!home.startsWith('/')) {
        const passwd *account = ::getpwuid(::geteuid());
        home = account && account->pw_dir ? QByteArray(account->pw_dir) : QByteArray();
        if (!home.startsWith('/'))
            return {};
    }
    while (home.size() > 1 && home.endsWith('/'))
        home.chop(1);
    return FilePath::fromSystemBytes(home + (home == "/" ? "" : "/") + "Config.ini");
#endif
}

} // namespace fennick
