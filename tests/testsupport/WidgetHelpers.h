#pragma once

#include <QString>
#include <QWidget>
#include <QtTest>

namespace orbisk::test {

// The direct child of type T that shows the text, as the user finds a label or a
// button in a dialog; null when there is none.
template <typename T> T* childWithText(const QWidget* parent, const QString& text)
{
    for (T* child : parent->findChildren<T*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->text() == text)
            return child;
    }
    return nullptr;
}

// Shows the widget and waits until the window system has exposed its window; false
// when that did not happen in time.
inline bool showExposed(QWidget* widget)
{
    widget->show();
    return QTest::qWaitForWindowExposed(widget);
}

} // namespace orbisk::test
