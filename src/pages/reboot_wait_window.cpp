#include "reboot_wait_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMovie>
#include <QScreen>
#include <QVBoxLayout>

// Resources of a static library are only linked in when something asks for them by name.
static QString clipPath() {
    Q_INIT_RESOURCE(pages);
    return QStringLiteral(":/pages/rebooting.gif");
}

namespace kvx {

RebootWaitWindow::RebootWaitWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_movie(new QMovie(clipPath(), QByteArray(), this)) {
    setObjectName(QStringLiteral("rebootWaitWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* clip = new QLabel(this);
    clip->setObjectName(QStringLiteral("rebootClip"));
    clip->setAlignment(Qt::AlignCenter);
    clip->setMovie(m_movie);
    auto* text = new QLabel(tr("Rebooting. . .  Wait a second."), this);
    text->setObjectName(QStringLiteral("rebootText"));
    text->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(clip);
    layout->addWidget(text);
    setStyleSheet(QStringLiteral("RebootWaitWindow { border: 1px solid palette(dark); }"));
    adjustSize();
}

bool RebootWaitWindow::isAnimating() const {
    return m_movie->state() == QMovie::Running;
}

void RebootWaitWindow::showEvent(QShowEvent* event) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    m_movie->start(); // a GIF that loops for ever repeats on its own
    QWidget::showEvent(event);
}

void RebootWaitWindow::hideEvent(QHideEvent* event) {
    m_movie->stop();
    QWidget::hideEvent(event);
}

} // namespace kvx
