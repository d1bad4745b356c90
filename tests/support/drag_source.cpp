// A program that drags a file as a file manager does when Shift is held, or
// a text as a text editor does: it offers Copy or Move and proposes Move.
// Tests start it beside the program under test, so that the drop crosses
// between two processes as on a user's desktop.
//
//   drag_source FILE [X Y]
//   drag_source --text TEXT [X Y]
//
// Shows a small window (at X, Y on the screen where the window manager
// allows) and prints "ready X Y", the window's centre on the screen, once it
// is shown. A mouse press in it starts the drag; "dragging" is printed as it
// starts. When the drag ends it prints the action the drop target answered
// ("copy", "move", "link" or "ignore"); after a Move it deletes the file, as
// a program that trusts that answer does (a text editor would remove the
// text from its document). It stays on, so that the target can still fetch
// the dropped data, until it is ended (or after two minutes).
#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace {

void Say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

QString ActionName(Qt::DropAction action)
{
    switch (action) {
    case Qt::CopyAction:
        return QStringLiteral("copy");
    case Qt::MoveAction:
        return QStringLiteral("move");
    case Qt::LinkAction:
        return QStringLiteral("link");
    default:
        return QStringLiteral("ignore");
    }
}

class DragSource : public QWidget {
public:
    // A file at path, or with isText the text itself.
    DragSource(QString path, bool isText) : m_path(std::move(path)), m_isText(isText)
    {
        setWindowTitle(QStringLiteral("drag source"));
        resize(160, 120);
    }

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        if (m_dragged)
            return;
        m_dragged = true;
        auto *data = new QMimeData;
        if (m_isText)
            data->setText(m_path);
        else
            data->setUrls({QUrl::fromLocalFile(m_path)});
        auto *drag = new QDrag(this);
        drag->setMimeData(data);
        Say(QStringLiteral("dragging"));
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
        if (action == Qt::MoveAction && !m_isText)
            QFile::remove(m_path);
        Say(ActionName(action));
    }

private:
    QString m_path;
    bool m_isText;
    bool m_dragged = false;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool isText = !args.isEmpty() && args.first() == QLatin1String("--text");
    if (isText)
        args.removeFirst();
    if (args.size() != 1 && args.size() != 3) {
        std::fputs("usage: drag_source FILE [X Y] | drag_source --text TEXT [X Y]\n", stderr);
        return 2;
    }
    DragSource source(args[0], isText);
    if (args.size() == 3)
        source.move(args[1].toInt(), args[2].toInt());
    source.show();
    // Where the window ends up is known once it is on the screen and the
    // window manager has framed it.
    auto *poll = new QTimer(&source);
    QObject::connect(poll, &QTimer::timeout, &source, [&source, poll] {
        if (!source.windowHandle() || !source.windowHandle()->isExposed())
            return;
        poll->stop();
        QTimer::singleShot(300, &source, [&source] {
            const QPoint at = source.mapToGlobal(source.rect().center());
            Say(QStringLiteral("ready %1 %2").arg(at.x()).arg(at.y()));
        });
    });
    poll->start(20);
    // Left alone (the test gone), it does not stay for ever.
    QTimer::singleShot(120000, &app, [] { QCoreApplication::exit(0); });
    return QApplication::exec();
}
