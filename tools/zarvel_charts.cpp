// zarvel-charts <output folder>: sample charts of every type, drawn through the real QPainter canvas,
// to look at (the statistics dialog's kinds of chart with made-up figures).
#include "charts/CGraph.h"
#include "charts/QtCanvas.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <cstdio>

namespace {

const GraphRgb kColors[] = {{0, 0, 255}, {255, 0, 0}, {0, 160, 0}, {255, 160, 0}, {160, 0, 160}, {0, 160, 160}, {128, 128, 0}};

void Save(CGraph &graph, const QString &file)
{
    QImage image(600, 380, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtCanvas canvas(painter, image.width(), image.height());
    graph.DrawGraph(canvas);
    painter.end();
    image.save(file);
    std::printf("%s\n", qPrintable(file));
}

std::unique_ptr<CGraphGroup> Group(const QString &label, std::initializer_list<int> values)
{
    auto group = std::make_unique<CGraphGroup>();
    group->SetLabel(label);
    int index = 0;
    for (int value : values)
        group->AddPoint(index++, value);
    return group;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zarvel-charts <output folder>\n");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);

    {
        CGraph graph(CGraph::Pie3D);
        graph.SetTitle(QStringLiteral("家庭总资产"));
        graph.SetDepthRatio(0.1);
        const QStringList holdings = {"现金:52300", "定期储蓄:120000", "活期储蓄:8650.5", "财产:35000", "保险:9000", "债权债务:4600", "总计:229550.5"};
        graph.AddGroup(Group(QString(), {22, 52, 3, 15, 3, 2, 0}));
        for (int i = 0; i < holdings.size(); ++i) {
            graph.SetLegend(i, holdings.at(i));
            graph.SetColor(i, kColors[i]);
        }
        Save(graph, out + QStringLiteral("/pie3d-assets.png"));
    }
    {
        CGraph graph(CGraph::Pie);
        graph.SetTitle(QStringLiteral("收支统计"));
        graph.AddGroup(Group(QStringLiteral("从 2025年 01月 01日 到 2025年 12月 31日"), {62, 38}));
        graph.SetLegend(0, QStringLiteral("收入:98000"));
        graph.SetLegend(1, QStringLiteral("支出:60120.5"));
        graph.SetColor(0, kColors[0]);
        graph.SetColor(1, kColors[1]);
        Save(graph, out + QStringLiteral("/pie-income-expense.png"));
    }
    const char *months[] = {"1月", "2月", "3月", "4月", "5月", "6月", "7月", "8月", "9月", "10月", "11月", "12月"};
    const int income[] = {8200, 8200, 9100, 8200, 8400, 12000, 8200, 8200, 8300, 8200, 8600, 15000};
    const int expense[] = {5100, 7800, 4300, 4600, 5200, 6100, 9800, 5400, 4700, 6900, 5000, 8800};
    for (int type : {int(CGraph::Bars3D), int(CGraph::Lines), int(CGraph::Bars)}) {
        CGraph graph(type);
        graph.SetTitle(type == CGraph::Lines ? QStringLiteral("2025年 收支走势图") : QStringLiteral("2025年 收支对比图"));
        graph.SetXAxisLabel(QStringLiteral("月份"));
        graph.SetYAxisLabel(QStringLiteral("金额(元)"));
        graph.SetTickRange(0, 16000, 2000);
        graph.SetGridLines(true);
        graph.SetDepthRatio(0.05);
        for (int m = 0; m < 12; ++m)
            graph.AddGroup(Group(QString::fromUtf8(months[m]), {income[m], expense[m]}));
        graph.SetLegend(0, QStringLiteral("收入"));
        graph.SetLegend(1, QStringLiteral("支出"));
        graph.SetColor(0, kColors[0]);
        graph.SetColor(1, kColors[1]);
        const QString name = type == CGraph::Bars3D ? QStringLiteral("bars3d") : type == CGraph::Lines ? QStringLiteral("lines") : QStringLiteral("bars");
        Save(graph, out + QStringLiteral("/") + name + QStringLiteral(".png"));
    }
    return 0;
}
