// Every dialog opens centred on the main window, or on the screen while the main window is not shown
// (the log-in and add-member dialogs at start, the main window itself).
#pragma once

class QApplication;

void CentreDialogsOnTheMainWindow(QApplication *app);
