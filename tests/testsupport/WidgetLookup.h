#pragma once

#include <QString>
#include <QWidget>

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

} // namespace orbisk::test
