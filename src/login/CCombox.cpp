#include "login/CCombox.h"

CCombox::CCombox(QWidget* parent)
    : QComboBox(parent)
{ }

// Swallowed: the event stays accepted, so it does not reach the parent either.
void CCombox::wheelEvent(QWheelEvent*) { }
