#include "core/FileDrops.h"

#include "tests/support/DropFiles.h"

#include <QMimeData>

#include <gtest/gtest.h>

using namespace qelt;

namespace {

struct DropCase {
    const char *name;
    QEvent::Type type;
    Qt::DropActions offered;
    Qt::DropAction proposed;
    bool accepted;
    Qt::DropAction answered;
};

class AcceptDropAsCopyTest : public ::testing::TestWithParam<DropCase> {};

// Whatever the dragging program proposes, and at every step of the drag,
// the answer is Copy while Copy is offered; without it the drag is refused.
TEST_P(AcceptDropAsCopyTest, AnswersCopyOrRefuses)
{
    const DropCase &c = GetParam();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/lamps.cro"))});
    const QPoint at(4, 4);
    auto check = [&](QDropEvent &e) {
        ASSERT_EQ(e.proposedAction(), c.proposed);
        // A move starts from what the target answered before; a refusal
        // must undo that.
        e.accept();
        EXPECT_EQ(AcceptDropAsCopy(&e), c.accepted);
        EXPECT_EQ(e.isAccepted(), c.accepted);
        EXPECT_EQ(e.dropAction(), c.answered);
    };
    if (c.type == QEvent::DragEnter) {
        test::detail::Proposed<QDragEnterEvent> e(c.proposed, at, c.offered, &data, Qt::LeftButton,
                                                  Qt::NoModifier);
        check(e);
    } else if (c.type == QEvent::DragMove) {
        test::detail::Proposed<QDragMoveEvent> e(c.proposed, at, c.offered, &data, Qt::LeftButton,
                                                 Qt::NoModifier);
        check(e);
    } else {
        test::detail::Proposed<QDropEvent> e(c.proposed, QPointF(at), c.offered, &data,
                                             Qt::LeftButton, Qt::NoModifier);
        check(e);
    }
}

const Qt::DropActions kCopyMove = Qt::CopyAction | Qt::MoveAction;
const Qt::DropActions kAll = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

INSTANTIATE_TEST_SUITE_P(
    Drags, AcceptDropAsCopyTest,
    ::testing::Values(DropCase{"EnterProposingMove", QEvent::DragEnter, kCopyMove, Qt::MoveAction,
                               true, Qt::CopyAction},
                      DropCase{"MoveProposingMove", QEvent::DragMove, kCopyMove, Qt::MoveAction,
                               true, Qt::CopyAction},
                      DropCase{"DropProposingMove", QEvent::Drop, kCopyMove, Qt::MoveAction, true,
                               Qt::CopyAction},
                      DropCase{"DropProposingLink", QEvent::Drop, kAll, Qt::LinkAction, true,
                               Qt::CopyAction},
                      DropCase{"DropOfCopyOnly", QEvent::Drop, Qt::CopyAction, Qt::CopyAction, true,
                               Qt::CopyAction},
                      DropCase{"EnterOfMoveOnly", QEvent::DragEnter, Qt::MoveAction, Qt::MoveAction,
                               false, Qt::IgnoreAction},
                      DropCase{"MoveOfMoveOnly", QEvent::DragMove, Qt::MoveAction, Qt::MoveAction,
                               false, Qt::IgnoreAction},
                      DropCase{"DropOfMoveOrLink", QEvent::Drop, Qt::MoveAction | Qt::LinkAction,
                               Qt::LinkAction, false, Qt::IgnoreAction}),
    [](const ::testing::TestParamInfo<DropCase> &info) { return std::string(info.param.name); });

} // namespace
