#include "mainwindow/LoadProgressBar.h"

#include "ui/Style.h"

#include <QEvent>
#include <QWebEnginePage>

namespace {
const QString kStyle = QStringLiteral("QProgressBar{border:none;background:transparent}"
                                      "QProgressBar::chunk{background-color:%1}")
                           .arg(orbisk::style::kButtonBlue);
const int kFullProgress = 100;
} // namespace

LoadProgressBar::LoadProgressBar(QWidget* area, QWidget* parent)
    : QProgressBar(parent)
    , m_pArea(area)
{
    setRange(0, kFullProgress);
    setTextVisible(false);
    setStyleSheet(kStyle);
    hide();
    m_pArea->installEventFilter(this);
    place();
}

void LoadProgressBar::watch(QWebEnginePage* page)
{
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        setValue(0);
        place();
        show();
        raise();
    });
    connect(page, &QWebEnginePage::loadProgress, this, [this](int progress) { setValue(progress); });
    connect(page, &QWebEnginePage::loadFinished, this, [this] { hide(); });
    connect(page, &QObject::destroyed, this, [this] { hide(); });
}

bool LoadProgressBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pArea && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        place();
    return QProgressBar::eventFilter(watched, event);
}

void LoadProgressBar::place()
{
    setGeometry(m_pArea->x(), m_pArea->y(), m_pArea->width(), kHeight);
}
