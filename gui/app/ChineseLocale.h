// The program speaks Chinese whatever the desktop's language: Qt's own texts (standard buttons,
// calendars, context menus) from its Chinese translations, and the Chinese locale for dates and numbers.
#pragma once

class QCoreApplication;

// Makes Chinese (China) the default locale and installs Qt's Chinese translations, looked for beside
// the program first and then where Qt keeps them. False when no translation was found (Qt's own texts
// then stay in English; nothing else changes).
bool UseChineseLocale(QCoreApplication *app);
