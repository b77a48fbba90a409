#pragma once

#include <QString>

// The close button that every small dialog of the client shares.
inline QString dialogCloseButtonStyle()
{
    return QStringLiteral("QPushButton{border-image:url(:/resource/image/close.png)}"
                          "QPushButton:hover{background-color:#E81123}"
                          "QPushButton:pressed{background-color:#F1707A}");
}
