// zarvel: the household ledger. Runs on the installation in the current directory; started with
// --home (as the desktop menu starts it), on the user's own installation, laid the first time;
// with --preview-import FILE, prints what an import of the file would make of it.
#include "app/CLedgerApp.h"
#include "app/ImportPreviewCommand.h"
#include "db/Installer.h"

#include <QDir>
#include <cstdio>
#include <string>

namespace {

// zarvel --help and --version: answered without a window, so they work on any terminal.
bool AnswersAbout(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--version") {
            std::printf("zarvel %s\n", ZARVEL_VERSION);
            return true;
        }
        if (argument == "--help" || argument == "-h") {
            std::printf("%s", "用法：zarvel [--home] [--import 文件] [--preview-import 文件 [--layout 格式] [--home]]\n"
                              "Zarvel 家庭理财：收支、储蓄、财产、保险、借贷、备忘和通讯录。\n\n"
                              "  （无参数）          使用当前目录中的帐本（Data/Kinward.db）\n"
                              "  --home              使用本用户的帐本（~/.local/share/zarvel，首次使用时建立）\n"
                              "  --import 文件       打开收支记录导入（CSV、Excel、QIF、OFX）；已在运行时交给它\n"
                              "  --preview-import 文件 [--layout wechat|alipay|zarvel|qif|ofx]\n"
                              "                      不开窗口，逐行列出导入会记下什么（加 --home：按本用户的帐本）\n"
                              "  --version           显示版本\n"
                              "  --help              显示本说明\n\n"
                              "帐本与列表文件在 Data/ 中；每次退出时（有改动）在 Data/Backup/ 保留一份副本，\n"
                              "可在 设置 → 系统 → 恢复备份 中恢复。\n");
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (AnswersAbout(argc, argv))
        return 0;
    // Without a window: what an import of a file would make of it (zarvel --preview-import FILE).
    if (AsksImportPreview(argc, argv))
        return RunImportPreview(argc, argv);
    CLedgerApp app(argc, argv);
    if (app.arguments().contains(QStringLiteral("--home")) && !app.EnterUserInstallation())
        return 1;
    KeepInstallationPrivate(QDir::currentPath());
    return app.InitInstance();
}
