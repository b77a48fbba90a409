#pragma once

#include <QComboBox>

// The server combo box: the mouse wheel over it never changes the selected server.
class CCombox : public QComboBox
{
public:
    explicit CCombox(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};
