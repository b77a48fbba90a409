#pragma once

#include <QPushButton>

// The delete button of a server row; a type of its own so it can be styled and
// found apart from other buttons.
class ButtonDelete : public QPushButton
{
public:
    explicit ButtonDelete(QWidget* parent = nullptr);
};
