#include "ui/filedrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace fennick {
namespace {

// The one local file the drag carries; empty for text or several files.
[[nodiscard]] QString droppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
}

} // namespace

FileDrop::FileDrop(QWidget *target, OnDrop onDrop)
    : QObject(target)
    , m_onDrop(std::move(onDrop))
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool FileDrop::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const QString path = droppedFile(drop->mimeData());
    if (path.isEmpty())
        return false; // text: the preview inserts it
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        m_onDrop(path);
    return true;
}

} // namespace fennick
