#include "mainwindow/LoadProgressBar.h"

#include "ui/AreaOverlay.h"
#include "ui/Style.h"

#include <QWebEnginePage>

namespace {
const QString kStyle = QStringLiteral("QProgressBar{border:none;background:transparent}"
                                      "QProgressBar::chunk{background-color:%1}")
                           .arg(orbisk::style::kButtonBlue);
const int kFullProgress = 100;
} // namespace

LoadProgressBar::LoadProgressBar(QWidget* area, QWidget* parent)
    : QProgressBar(parent)
    , m_pOverlay(new AreaOverlay(this, area, kHeight))
{
    setRange(0, kFullProgress);
    setTextVisible(false);
    setStyleSheet(kStyle);
    hide();
}

void LoadProgressBar::watch(QWebEnginePage* page)
{
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        setValue(0);
        m_pOverlay->place();
        show();
        raise();
    });
    connect(page, &QWebEnginePage::loadProgress, this, [this](int progress) { setValue(progress); });
    connect(page, &QWebEnginePage::loadFinished, this, [this] { hide(); });
    connect(page, &QObject::destroyed, this, [this] { hide(); });
}
