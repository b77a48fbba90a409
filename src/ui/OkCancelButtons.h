#pragma once

class QDialog;
class QDialogButtonBox;
struct LanguageTexts;

// OK (the default button, so Enter accepts) and Cancel for a dialog, wired to its
// accept and reject.
QDialogButtonBox* okCancelButtons(QDialog* pDialog, const LanguageTexts& texts);
