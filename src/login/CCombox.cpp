#include "login/CCombox.h"

CCombox::CCombox(QWidget* parent)
    : QComboBox(parent)
{ }

// Empty on purpose: the base class would step to the next or previous server.
void CCombox::wheelEvent(QWheelEvent*) { }
