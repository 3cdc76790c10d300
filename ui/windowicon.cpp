#include "ui/windowicon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>

#include <array>

namespace fennick {
namespace {

struct IconFile {
    int side;
    const char *path;
};

constexpr std::array iconFiles{
    IconFile{16, ":/icons/16x16.png"},    IconFile{24, ":/icons/24x24.png"},
    IconFile{32, ":/icons/32x32.png"},    IconFile{48, ":/icons/48x48.png"},
    IconFile{64, ":/icons/64x64.png"},    IconFile{80, ":/images/fennick-icon-80.png"},
    IconFile{128, ":/icons/128x128.png"}, IconFile{256, ":/icons/256x256.png"},
};

// As Qt's own engine picks: the smallest file at least as large as asked,
// else the largest; shrunk to the size asked, never enlarged.
class FileIconEngine final : public QIconEngine {
public:
    QIconEngine *clone() const override { return new FileIconEngine; }
    QString key() const override { return QStringLiteral("fennick-files"); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const IconFile &file : iconFiles)
            sizes.append(QSize(file.side, file.side));
        return sizes;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = bestFile(size).side;
        return QSize(side, side).scaled(size.boundedTo(QSize(side, side)), Qt::KeepAspectRatio);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        const IconFile &file = bestFile(size);
        const QString name = QString::fromLatin1(file.path);
        QPixmap pixmap;
        if (!QPixmapCache::find(name, &pixmap)) {
            pixmap.load(name);
            QPixmapCache::insert(name, pixmap);
        }
        const QSize wanted = actualSize(size, mode, state);
        if (pixmap.size() != wanted)
            pixmap = pixmap.scaled(wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (mode == QIcon::Normal || mode == QIcon::Active)
            return pixmap;
        QStyleOption option;
        option.palette = QApplication::palette();
        return QApplication::style()->generatedIconPixmap(mode, pixmap, &option);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
        drawn.setDevicePixelRatio(ratio);
        const QSize shown = drawn.deviceIndependentSize().toSize();
        painter->drawPixmap(
            QRect(QPoint(), shown).translated(rect.center() - QRect(QPoint(), shown).center()),
            drawn);
    }

private:
    [[nodiscard]] static const IconFile &bestFile(const QSize &size)
    {
        const int side = std::max(size.width(), size.height());
        for (const IconFile &file : iconFiles)
            if (file.side >= side)
                return file;
        return iconFiles.back();
    }
};

} // namespace

QIcon programIcon()
{
    return QIcon(new FileIconEngine);
}

} // namespace fennick
