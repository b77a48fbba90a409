#pragma once

#include <QAbstractButton>
#include <QString>

namespace orbisk {

// Names a button that shows only a picture or a sign: a screen reader says the name,
// and the mouse shows it as the tooltip.
inline void nameButton(QAbstractButton* button, const QString& sName)
{
    button->setAccessibleName(sName);
    button->setToolTip(sName);
}

} // namespace orbisk
