#include "login/ButtonDelete.h"

ButtonDelete::ButtonDelete(QWidget* parent)
    : QPushButton(parent)
{ }
