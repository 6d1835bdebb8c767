#pragma once

#include <QFlags>

class QHeaderView;
class QWidget;

namespace realm::ui {

// How a control follows its window's edges when the window is resized
// from its designed size. No flag: it keeps its place and size.
enum class Follow {
    Width = 1,
    Height = 2,
    Bottom = 4,
    Right = 8,
};
Q_DECLARE_FLAGS(FollowEdges, Follow)

// Lets `form` be resized and maximised from the size it has now, its
// designed size, which becomes its smallest size (within the screen's
// room); `control`, placed at its designed geometry, follows the window as
// `edges` say.
void followWindow(QWidget *form, QWidget *control, FollowEdges edges);

// Restores the size, position and column widths `form` had when it was
// last closed, fitted into the screen it opens on (a position on no screen
// is left to the window system), and saves them when it closes again.
void rememberGeometry(QWidget *form, const QList<QHeaderView *> &headers);

} // namespace realm::ui

Q_DECLARE_OPERATORS_FOR_FLAGS(realm::ui::FollowEdges)
