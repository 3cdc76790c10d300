// Where Save writes: a path as the system takes it and as the user reads it.
#pragma once

#include <QByteArray>
#include <QString>

namespace fennick {

// On Linux a folder's name may hold any bytes, not only UTF-8: the path is
// kept as the system's bytes, so that Save reaches the folder the system
// named, and it is shown to the user as well as those bytes allow.
class FilePath {
public:
    FilePath() = default;
    // A path the user typed or chose. Implicit, as a string is a path.
    FilePath(const QString &path); // NOLINT(google-explicit-constructor)
    [[nodiscard]] static FilePath fromSystemBytes(const QByteArray &bytes);

    [[nodiscard]] bool isEmpty() const { return m_path.isEmpty(); }
    // In the system's separators, for messages.
    [[nodiscard]] QString shown() const;
    // For Qt's own calls ("/" separators).
    [[nodiscard]] const QString &path() const { return m_path; }
    // For the system's calls on Linux and other Unix systems.
    [[nodiscard]] const QByteArray &systemBytes() const { return m_bytes; }

private:
    QString m_path;
    QByteArray m_bytes;
};

// "C:\Config.ini" on Windows. Elsewhere "Config.ini" in the home folder:
// HOME when it names a folder by its full path, otherwise the folder the
// system's account database gives; empty when neither does.
[[nodiscard]] FilePath configFilePath();

} // namespace fennick
