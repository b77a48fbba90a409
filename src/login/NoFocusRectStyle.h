#pragma once

#include <QProxyStyle>

// A style that draws no focus rectangle and leaves everything else to its base.
// The base is the proxy's own instance of the application's style: handing it
// QApplication::style() itself would make the proxy the owner and the proxy of the
// application-wide style object.
class NoFocusRectStyle : public QProxyStyle
{
public:
    NoFocusRectStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget = nullptr) const override;
};
