#include "ui/SplashScreen.h"

#include "core/Texts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <utility>

namespace ui {

SplashScreen::SplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_version(new QLabel(core::texts::Version, this))
{
    setFixedSize(kWidth, kHeight);
    setAccessibleName(core::texts::AppTitle);
    QImageReader reader(QStringLiteral(":/splash.jpg"), "jpeg");
    m_picture = QPixmap::fromImage(reader.read());

    QPalette palette = m_version->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    m_version->setPalette(palette);
    m_version->adjustSize();
    m_version->move(kWidth - m_version->width() - 10, kHeight - m_version->height() - 8);
}

void SplashScreen::showNow()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    show();
    raise();
    if (m_painted)
        return;
    QEventLoop loop;
    connect(this, &SplashScreen::firstPainted, &loop, &QEventLoop::quit);
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void SplashScreen::stay(const QElapsedTimer& shown, int ms)
{
    const qint64 left = ms - shown.elapsed();
    if (left <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(int(left), &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void SplashScreen::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!m_picture.isNull()) {
        const QPoint at((width() - m_picture.width()) / 2, (height() - m_picture.height()) / 2);
        painter.drawPixmap(at, m_picture);
    }
    painter.setPen(QColor(0, 0, 128)); // navy
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!std::exchange(m_painted, true))
        Q_EMIT firstPainted();
}

} // namespace ui
