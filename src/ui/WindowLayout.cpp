#include "ui/WindowLayout.h"

#include "ui/UserSettings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace realm::ui {

namespace {

// Room the window system's frame and title bar take around a window that
// is not shown yet, so that a window as large as the screen still fits.
const QSize FrameAllowance(16, 48);
// How far below a window's top edge the title bar is grabbed.
constexpr int TitleGrip = 10;

QSize availableRoom(const QWidget *form)
{
    const QScreen *screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() - FrameAllowance : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

class DesignedLayout : public QObject {
public:
    inline static const QString Name = QStringLiteral("DesignedLayout");


    explicit DesignedLayout(QWidget *form)
        : QObject(form), m_form(form), m_designed(form->size())
    {
        setObjectName(Name);
        const QSize smallest = m_designed.boundedTo(availableRoom(form));
        form->setMinimumSize(smallest);
        form->resize(smallest);
        form->installEventFilter(this);
    }

    void add(QWidget *control, FollowEdges edges)
    {
        m_controls.append({control, control->geometry(), edges});
        place(m_controls.back());
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_form && event->type() == QEvent::Resize) {
            for (const Control &control : std::as_const(m_controls))
                place(control);
        }
        return false;
    }

private:
    struct Control {
        QPointer<QWidget> widget;
        QRect designed;
        FollowEdges edges;
    };

    void place(const Control &control) const
    {
        if (!control.widget)
            return;
        const int dx = m_form->width() - m_designed.width();
        const int dy = m_form->height() - m_designed.height();
        QRect geometry = control.designed;
        if (control.edges & Follow::Bottom)
            geometry.translate(0, dy);
        if (control.edges & Follow::Right)
            geometry.translate(dx, 0);
        if (control.edges & Follow::Width)
            geometry.setWidth(std::max(0, geometry.width() + dx));
        if (control.edges & Follow::Height)
            geometry.setHeight(std::max(0, geometry.height() + dy));
        control.widget->setGeometry(geometry);
    }

    QWidget *m_form;
    QSize m_designed;
    QList<Control> m_controls;
};

// The screen under the title bar of a window at `geometry`, if any.
QScreen *screenUnderTitle(const QRect &geometry)
{
    const QPoint grip(geometry.center().x(), geometry.top() + TitleGrip);
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(grip))
            return screen;
    }
    return nullptr;
}

// Moved (and made smaller where it must) so that the window with its frame
// lies inside the screen's available room: a geometry saved at another
// scale or on a larger screen keeps its title bar and edges in reach.
QRect fittedInto(QRect geometry, const QScreen &screen)
{
    const int side = FrameAllowance.width() / 2;
    const QRect room = screen.availableGeometry().adjusted(side, FrameAllowance.height() - side, -side, -side);
    geometry.setSize(geometry.size().boundedTo(room.size()));
    geometry.moveLeft(std::clamp(geometry.left(), room.left(), room.right() + 1 - geometry.width()));
    geometry.moveTop(std::clamp(geometry.top(), room.top(), room.bottom() + 1 - geometry.height()));
    return geometry;
}

class GeometryMemory : public QObject {
public:
    GeometryMemory(QWidget *form, const QList<QHeaderView *> &headers)
        : QObject(form), m_form(form), m_headers(headers.begin(), headers.end())
    {
        restore();
        form->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_form && event->type() == QEvent::Close)
            save();
        return false;
    }

private:
    QString key(const char *name) const { return m_form->objectName() + u'/' + QString::fromLatin1(name); }

    void restore()
    {
        const auto settings = openUserSettings();
        if (!settings)
            return;
        QRect geometry = settings->value(key("geometry")).toRect();
        if (geometry.isValid()) {
            geometry.setSize(geometry.size().expandedTo(m_form->minimumSize()).boundedTo(availableRoom(m_form)));
            if (const QScreen *screen = screenUnderTitle(geometry))
                m_form->setGeometry(fittedInto(geometry, *screen));
            else
                m_form->resize(geometry.size());
        }
        if (settings->value(key("maximized")).toBool())
            m_form->setWindowState(m_form->windowState() | Qt::WindowMaximized);
        const QVariantList widths = settings->value(key("columns")).toList();
        restoreColumns(widths);
    }

    void restoreColumns(const QVariantList &widths) const
    {
        qsizetype next = 0;
        for (QHeaderView *header : m_headers) {
            for (int section = 0; header && section < header->count() && next < widths.size(); ++section) {
                const int width = widths[next++].toInt();
                if (width > 0)
                    header->resizeSection(section, width);
            }
        }
    }

    void save() const
    {
        const auto settings = openUserSettings();
        if (!settings)
            return;
        const bool maximized = m_form->isMaximized();
        settings->setValue(key("geometry"), maximized ? m_form->normalGeometry() : m_form->geometry());
        settings->setValue(key("maximized"), maximized);
        QVariantList widths;
        for (const QHeaderView *header : m_headers) {
            for (int section = 0; header && section < header->count(); ++section)
                widths << header->sectionSize(section);
        }
        settings->setValue(key("columns"), widths);
    }

    QWidget *m_form;
    QList<QPointer<QHeaderView>> m_headers;
};

} // namespace

void followWindow(QWidget *form, QWidget *control, FollowEdges edges)
{
    if (!control)
        return;
    auto *layout = dynamic_cast<DesignedLayout *>(form->findChild<QObject *>(DesignedLayout::Name, Qt::FindDirectChildrenOnly));
    if (!layout)
        layout = new DesignedLayout(form);
    layout->add(control, edges);
}

void rememberGeometry(QWidget *form, const QList<QHeaderView *> &headers)
{
    new GeometryMemory(form, headers);
}

} // namespace realm::ui
