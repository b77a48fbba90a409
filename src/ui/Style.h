// The client's colours and the style sheets that several of its windows share.
#pragma once

#include <QString>

namespace orbisk::style {

inline const QString kWhite = QStringLiteral("#fff");
inline const QString kBorder = QStringLiteral("#ccc");
inline const QString kFieldBorder = QStringLiteral("rgba(221, 221, 221, 1)");
inline const QString kFieldBackground = QStringLiteral("#F0F0F0");
inline const QString kErrorRed = QStringLiteral("rgba(215, 0, 21, 1)");
inline const QString kWarningRed = QStringLiteral("rgba(196, 30, 30, 1)");
// Blues: the brand's, its darker shade around a focused button, the dialogs' buttons, a selected row.
inline const QString kBrandBlue = QStringLiteral("rgba(0, 123, 197, 1)");
inline const QString kBrandBlueDark = QStringLiteral("rgba(0, 80, 130, 1)");
inline const QString kButtonBlue = QStringLiteral("rgba(33, 150, 243, 1)");
inline const QString kSelectionBlue = QStringLiteral("#d7e6f7");
// Text: dark for titles and values, grey for messages, light grey for field names, black for links.
inline const QString kTextDark = QStringLiteral("rgba(16, 16, 16, 1)");
inline const QString kTextGrey = QStringLiteral("rgba(51, 51, 51, 1)");
inline const QString kTextLightGrey = QStringLiteral("rgba(102, 102, 102, 1)");
inline const QString kLinkBlack = QStringLiteral("#000");

// Text in a colour and a pixel size, centred where the style sheet aligns the widget's text.
inline QString text(const QString& colour, int pixels)
{
    return QStringLiteral("color: %1;font-size: %2px;").arg(colour).arg(pixels);
}
inline QString centredText(const QString& colour, int pixels)
{
    return text(colour, pixels) + QLatin1String("text-align: center;");
}

// A frameless dialog's white ground and grey frame. The selector names the dialog
// alone, as "QWidget#about", so that its children keep their own look.
inline QString dialogFrame(const QString& selector)
{
    return QStringLiteral("%1{background-color:%2;border:1px solid %3}").arg(selector, kWhite, kBorder);
}

// A button of white 12-pixel text on the colour, without a visible border; the small
// dialogs' OK button; the close button in their corner.
inline QString filledButton(const QString& colour)
{
    return QStringLiteral("border-radius: 2px;background-color: %1;color: %2;font-size: 12px;"
                          "border: 1px solid rgba(255, 255, 255, 0);")
        .arg(colour, kWhite);
}
inline QString primaryButton()
{
    return filledButton(kButtonBlue) + QLatin1String("text-align: center;");
}
inline QString closeButton()
{
    return QStringLiteral("QPushButton{border-image:url(:/resource/image/close.png)}"
                          "QPushButton:hover{background-color:#E81123}"
                          "QPushButton:pressed{background-color:#F1707A}");
}

// The menu bar and its menus.
inline QString menuBar()
{
    return centredText(kTextDark, 14);
}
inline QString menu()
{
    return centredText(kTextDark, 12);
}

} // namespace orbisk::style
