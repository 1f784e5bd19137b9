// Icon numbers mapped to freedesktop icon names.
#include "LedgerIcons.h"

#include <QHash>

void SetupIconTheme()
{
    QStringList paths = QIcon::themeSearchPaths();
    if (!paths.contains(QStringLiteral("/usr/share/icons")))
        paths << QStringLiteral("/usr/share/icons");
    QIcon::setThemeSearchPaths(paths);
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QStringLiteral("hicolor"))
        QIcon::setThemeName(QStringLiteral("breeze"));
    QIcon::setFallbackThemeName(QStringLiteral("breeze"));
}

QIcon LedgerIcon(int number)
{
    static const QHash<int, const char *> names = {
        {157, "accessories-calculator"}, {158, "configure"}, {159, "office-chart-bar"},
        {160, "view-financial-account-investment"}, {161, "view-bank"}, {162, "view-pim-notes"},
        {163, "security-high"}, {164, "wallet-open"}, {165, "go-home"}, {166, "list-add"},
        {167, "list-remove"}, {168, "document-edit"}, {169, "edit-find"}, {170, "view-filter"},
        {171, "view-financial-account-savings"}, {172, "view-financial-account-checking"},
        {174, "view-financial-account-cash"}, {176, "view-financial-list"}, {177, "view-financial-account"},
        {178, "document-new"}, {179, "view-financial-budget"}, {180, "view-pim-contacts"},
        {181, "view-calendar-tasks"}, {182, "dialog-ok"}, {183, "dialog-cancel"}, {185, "accessories-calculator"},
        {187, "list-add-user"}, {188, "go-down-search"}, {189, "window-close"}, {191, "go-previous"},
        {196, "go-next"}, {197, "go-previous"},
    };
    const char *name = names.value(number);
    return name ? QIcon::fromTheme(QString::fromLatin1(name)) : QIcon();
}
