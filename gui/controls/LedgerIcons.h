// The icons of the buttons, by the ledger's icon numbers, drawn from the desktop's icon theme.
#pragma once

#include <QIcon>

// Makes the freedesktop theme reachable on every platform (also offscreen and without a desktop theme).
void SetupIconTheme();

// The icon for an icon number (157 ... 197); a null icon when the theme has no such picture.
QIcon LedgerIcon(int number);
