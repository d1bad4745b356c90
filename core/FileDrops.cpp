#include "core/FileDrops.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <algorithm>

namespace qelt {

namespace {

const char kFileTarget[] = "qeltFileTarget";

bool CarriesFiles(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl &url) { return url.isLocalFile(); });
}

// Narrows what a drag offers, in the event itself: the toolkit then delivers
// it as usual, and whatever a widget answers is one of the actions left (Copy,
// or none). The toolkit hands an entering drag that the widget does not take
// on to its parents that take drops, and the moves and the drop go to the one
// that took it; narrowing the event, rather than handing a copy on, keeps
// each step delivered once and lets each parent see the same offer.
class OfferNarrower : public QDropEvent {
public:
    static void Offer(QDropEvent *e, Qt::DropAction only)
    {
        e->*(&OfferNarrower::m_actions) = only;
        e->*(&OfferNarrower::m_defaultAction) = only;
        e->*(&OfferNarrower::m_dropAction) = only;
    }
};

class DropRule : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        // The window the toolkit hands the drag to passes it on to the widget
        // under the mouse, where the rule applies.
        const auto *widget = qobject_cast<QWidget *>(receiver);
        auto *drag = static_cast<QDropEvent *>(event);
        if (!widget || drag->source())
            return false;
        if (!(drag->possibleActions() & Qt::CopyAction) ||
            (CarriesFiles(drag->mimeData()) && !TakesFileDrops(widget))) {
            // Offering nothing, the drag is refused again by every parent the
            // toolkit tries next.
            OfferNarrower::Offer(drag, Qt::IgnoreAction);
            drag->ignore();
            return true;
        }
        OfferNarrower::Offer(drag, Qt::CopyAction);
        return false;
    }
};

} // namespace

bool AcceptDropAsCopy(QDropEvent *event)
{
    if (!(event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

void AcceptFileDrops(QWidget *target)
{
    target->setAcceptDrops(true);
    target->setProperty(kFileTarget, true);
}

bool TakesFileDrops(const QWidget *widget)
{
    return widget->property(kFileTarget).toBool();
}

void InstallDropRule()
{
    qApp->installEventFilter(new DropRule(qApp));
}

} // namespace qelt
