#include "web/FindBar.h"

#include "ui/AreaOverlay.h"
#include "ui/ButtonName.h"
#include "ui/LanguageTexts.h"
#include "ui/Style.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>

namespace {
const int kHeight = 36;
const int kEditWidth = 240;
const QSize kCloseSize(18, 18);
} // namespace

FindBar::FindBar(QWidget* area, QWidget* parent)
    : QFrame(parent)
    , m_pOverlay(new AreaOverlay(this, area, kHeight))
    , m_pEdit(new QLineEdit(this))
    , m_pCount(new QLabel(this))
    , m_pBtnPrevious(new QPushButton(QStringLiteral("\u2191"), this))
    , m_pBtnNext(new QPushButton(QStringLiteral("\u2193"), this))
    , m_pBtnClose(new QPushButton(this))
{
    setObjectName(QStringLiteral("findbar"));
    setStyleSheet(QStringLiteral("QFrame#findbar{background-color:%1;border-bottom:1px solid %2}")
                      .arg(orbisk::style::kFieldBackground, orbisk::style::kBorder));
    m_pEdit->setFixedWidth(kEditWidth);
    m_pCount->setStyleSheet(orbisk::style::text(orbisk::style::kTextGrey, 12));
    m_pBtnClose->setFixedSize(kCloseSize);
    m_pBtnClose->setStyleSheet(orbisk::style::closeButton());

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 0, 8, 0);
    layout->addWidget(m_pEdit);
    layout->addWidget(m_pBtnPrevious);
    layout->addWidget(m_pBtnNext);
    layout->addWidget(m_pCount);
    layout->addStretch(1);
    layout->addWidget(m_pBtnClose);

    connect(m_pBtnPrevious, &QPushButton::clicked, this, [this] { find(true); });
    connect(m_pBtnNext, &QPushButton::clicked, this, [this] { find(false); });
    connect(m_pBtnClose, &QPushButton::clicked, this, &FindBar::slot_close);
    connect(m_pEdit, &QLineEdit::textEdited, this, [this] { find(false); });
    m_pEdit->installEventFilter(this);
    hide();
}

void FindBar::open(QWebEnginePage* pPage, const LanguageTexts& texts)
{
    if (m_pPage != pPage) {
        if (m_pPage)
            disconnect(m_pPage, nullptr, this, nullptr);
        m_pPage = pPage;
        connect(pPage, &QWebEnginePage::findTextFinished, this, &FindBar::showResult);
    }
    m_sCountFormat = texts.FindCount;
    m_pEdit->setPlaceholderText(texts.FindInPage);
    orbisk::nameButton(m_pBtnPrevious, texts.FindPrevious);
    orbisk::nameButton(m_pBtnNext, texts.FindNext);
    orbisk::nameButton(m_pBtnClose, texts.Close);
    m_pOverlay->place();
    show();
    raise();
    m_pEdit->setFocus();
    m_pEdit->selectAll();
}

void FindBar::find(bool isBackward)
{
    if (!m_pPage)
        return;
    if (m_pEdit->text().isEmpty()) {
        m_pPage->findText(QString());
        m_pCount->clear();
        return;
    }
    m_pPage->findText(m_pEdit->text(), isBackward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
}

QString FindBar::countText() const
{
    return m_pCount->text();
}

void FindBar::slot_close()
{
    if (m_pPage)
        m_pPage->findText(QString());
    m_pCount->clear();
    hide();
}

void FindBar::showResult(const QWebEngineFindTextResult& result)
{
    m_pCount->setText(m_sCountFormat.arg(result.activeMatch()).arg(result.numberOfMatches()));
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pEdit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            find(key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            slot_close();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}
