// Chart geometry, recorded call by call: ticks, frame, legend, axes, bars, lines and pies.
#include "charts/CGraph.h"

#include "MessageRecorder.h"
#include "RecordingCanvas.h"

#include <QTest>

namespace {

std::unique_ptr<CGraphGroup> Group(const QString &label, const QList<int> &values)
{
    auto group = std::make_unique<CGraphGroup>();
    group->SetLabel(label);
    for (int i = 0; i < values.size(); ++i)
        group->AddPoint(i, values.at(i));
    return group;
}

// Integers of a recorded call's text, in order ("rect 1,2,3,4 pen 0,0,0/1 ..." -> 1 2 3 4 0 0 0 1 ...).
QList<int> Numbers(const QString &call)
{
    QList<int> numbers;
    QString digits;
    for (QChar c : call + QLatin1Char(' ')) {
        if (c.isDigit() || (c == QLatin1Char('-') && digits.isEmpty())) {
            digits += c;
        } else if (!digits.isEmpty()) {
            if (digits != QStringLiteral("-"))
                numbers << digits.toInt();
            digits.clear();
        }
    }
    return numbers;
}

} // namespace

class TestGraph : public QObject
{
    Q_OBJECT
private slots:
    void tickRange()
    {
        CGraph same(CGraph::Bars);
        same.SetTickRange(5, 5, 1);
        QCOMPARE(same.GetMaximum(), 6);
        QCOMPARE(same.GetTickCount(), 1);

        CGraph graph(CGraph::Bars);
        graph.SetTickRange(0, 100, 30);
        QCOMPARE(graph.GetTickCount(), 4);
        graph.AddGroup(Group(QStringLiteral("a"), {10}));
        RecordingCanvas canvas(400, 300);
        graph.DrawGraph(canvas);
        QStringList labels;
        for (const QString &call : canvas.Calls(QStringLiteral("text ")))
            labels << call.section(QLatin1Char(' '), 2);
        QVERIFY(labels.contains(QStringLiteral("120")));
        QVERIFY(labels.contains(QStringLiteral("90")));
        QVERIFY(!labels.contains(QStringLiteral("150")));

        CGraph tenTicks(CGraph::Bars);
        tenTicks.SetTickRange(0, 20000, 2000);
        QCOMPARE(tenTicks.GetTickCount(), 10);
    }

    void frameOfAFiveDigitMaximum()
    {
        CGraph graph(CGraph::Bars);
        graph.SetTickRange(0, 20000, 2000);
        graph.AddGroup(Group(QStringLiteral("1月"), {100}));
        RecordingCanvas canvas(600, 380);
        graph.DrawGraph(canvas);
        QCOMPARE(graph.GetX0(), 80);
        QCOMPARE(graph.GetY0(), 380 - 20 - 50);
        QCOMPARE(graph.GetPlotHeight(), graph.GetY0() - 40);
        QCOMPARE(graph.GetPlotWidth(), 600 - 5 - 80 - 5);
        // The axis lines start one pixel left of and below the origin, with a 2-pixel pen.
        QCOMPARE(canvas.Calls(QStringLiteral("line ")).first(), QStringLiteral("line 79,311 79,%1 pen 0,0,0/2").arg(311 - graph.GetPlotHeight()));
    }

    void legendBoxOfThreeRows()
    {
        CGraph graph(CGraph::Pie);
        graph.AddGroup(Group(QString(), {1, 2, 3}));
        graph.SetLegend(0, QStringLiteral("收入:12345"));   // 10 bytes
        graph.SetLegend(1, QStringLiteral("支出:12345678")); // 13 bytes
        graph.SetLegend(2, QStringLiteral("其它:1234567"));  // 12 bytes
        CGraph twelve(CGraph::Pie);
        twelve.AddGroup(Group(QString(), {1, 2, 3}));
        for (int i = 0; i < 3; ++i)
            twelve.SetLegend(i, QStringLiteral("合计:1234567"));  // 12 bytes each
        twelve.SetColor(0, {0, 0, 255});  // fewer colours than rows: the others are black
        RecordingCanvas canvas(605, 420);  // W = 600, H = 400
        twelve.DrawGraph(canvas);
        const QString box = canvas.Calls(QStringLiteral("rect ")).at(1);
        QCOMPARE(Numbers(box).mid(0, 4), QList<int>({600 - 114, 200 - 40, 600 - 5, 200 + 40}));
        const QStringList swatches = canvas.Calls(QStringLiteral("rect ")).mid(2, 3);
        QVERIFY(swatches.at(0).endsWith(QStringLiteral("brush 0,0,255")));
        QVERIFY(swatches.at(1).endsWith(QStringLiteral("brush 0,0,0")));
        QVERIFY(swatches.at(2).endsWith(QStringLiteral("brush 0,0,0")));
        QCOMPARE(Numbers(swatches.at(0)).mid(0, 4), QList<int>({486 + 10 + 72, 160 + 25, 595 - 5, 160 + 25 + 12}));
        QVERIFY(canvas.Calls(QStringLiteral("text ")).contains(QStringLiteral("text %1,163 图例").arg((12 * 7 + 25) / 2 + 486 - 3 * 8)));
        // The legend narrows the plot.
        QCOMPARE(twelve.GetPlotWidth(), 486 - 5 - 10);
    }

    void titleShrinksToFit()
    {
        CGraph graph(CGraph::Bars);
        graph.SetTitle(QStringLiteral("一二三四五六七八九十一二三四五"));  // 30 bytes
        graph.AddGroup(Group(QStringLiteral("a"), {1}));
        RecordingCanvas canvas(205, 300);  // W = 200: 30 * (h / 2) must not exceed it
        graph.DrawGraph(canvas);
        QCOMPARE(canvas.Calls(QStringLiteral("font ")).first(), QStringLiteral("font 12 700 0"));
    }

    void twelveGroupsOfTwo3DBars()
    {
        CGraph graph(CGraph::Bars3D);
        graph.SetTickRange(0, 20000, 2000);
        graph.SetDepthRatio(0.05);
        for (int month = 1; month <= 12; ++month)
            graph.AddGroup(Group(QStringLiteral("%1月").arg(month), {20000, 5000}));
        RecordingCanvas canvas(800, 420);
        graph.DrawGraph(canvas);
        const int d = graph.GetDepth();
        QCOMPARE(d, int((400 - 50 - 40) * 0.05));
        const int groupWidth = graph.GetPlotWidth() / 12;
        const int barWidth = int(groupWidth * 0.8 / 2);
        const QStringList fronts = canvas.Calls(QStringLiteral("rect ")).mid(1);
        QCOMPARE(fronts.size(), 24);
        for (int q = 1; q <= 12; ++q) {
            const int centre = groupWidth * q + graph.GetX0() - groupWidth / 2;
            const QList<int> first = Numbers(fronts.at(2 * (q - 1)));
            const QList<int> second = Numbers(fronts.at(2 * (q - 1) + 1));
            QCOMPARE(first.at(0), centre - barWidth);  // the two bars share the group's centre
            QCOMPARE(first.at(2), centre);
            QCOMPARE(second.at(0), centre);
            QCOMPARE(second.at(2), centre + barWidth);
        }
        // A value equal to the maximum: (int)((plot height - 10) / maximum * maximum) pixels high.
        const QList<int> tallest = Numbers(fronts.first());
        const double scale = double(graph.GetPlotHeight() - 10) / 20000;
        QCOMPARE(tallest.at(3) - tallest.at(1), int(scale * 20000));
        // Each bar has its darker side and lighter top.
        const QStringList faces = canvas.Calls(QStringLiteral("polygon "));
        QCOMPARE(faces.size(), 48);
        QVERIFY(faces.at(0).endsWith(QStringLiteral("brush 0,0,0")));  // black has no darker shade
        QVERIFY(faces.at(1).endsWith(QStringLiteral("brush 35,35,35")));
    }

    void linesLiftSmallValuesOnlyWhenTheyCan()
    {
        for (const int maximum : {20000, 100}) {
            CGraph graph(CGraph::Lines);
            graph.SetTickRange(0, maximum, maximum / 10);
            graph.AddGroup(Group(QStringLiteral("a"), {0}));
            graph.AddGroup(Group(QStringLiteral("b"), {1}));
            graph.AddGroup(Group(QStringLiteral("c"), {maximum}));
            graph.AddGroup(Group(QStringLiteral("d"), {-5}));  // not drawn
            RecordingCanvas canvas(600, 400);
            graph.DrawGraph(canvas);
            const QStringList lines = canvas.Calls(QStringLiteral("line ")).filter(QStringLiteral("/2"));
            const QStringList body = lines.mid(lines.size() - 2);
            const double scale = double(graph.GetPlotHeight()) / maximum;
            const QList<int> first = Numbers(body.at(0));
            QCOMPARE(first.at(1), graph.GetY0());  // zero on the base line
            const int lift = maximum == 100 ? int(scale * 1) : int(scale);
            QCOMPARE(first.at(3), graph.GetY0() - lift);
            QCOMPARE(Numbers(body.at(1)).at(3), graph.GetY0() - int(scale * maximum));
        }
    }

    void oneWholeSlice()
    {
        CGraph graph(CGraph::Pie);
        graph.AddGroup(Group(QString(), {100}));
        RecordingCanvas canvas(600, 400);
        graph.DrawGraph(canvas);
        const QStringList pies = canvas.Calls(QStringLiteral("pie "));
        QCOMPARE(pies.size(), 1);
        const QList<int> numbers = Numbers(pies.first());
        const int r = (numbers.at(2) - numbers.at(0)) / 2;
        const int cx = numbers.at(0) + r;
        const int cy = numbers.at(1) + r;
        QCOMPARE(numbers.mid(4, 4), QList<int>({cx - r, cy - 1, cx - r, cy - 1}));
        QVERIFY(canvas.Calls(QStringLiteral("text ")).last().endsWith(QStringLiteral(" 100%")));
    }

    void twoHalves()
    {
        CGraph graph(CGraph::Pie);
        graph.AddGroup(Group(QString(), {50, 50}));
        RecordingCanvas canvas(600, 400);
        graph.DrawGraph(canvas);
        const QStringList pies = canvas.Calls(QStringLiteral("pie "));
        QCOMPARE(pies.size(), 2);
        const QList<int> lower = Numbers(pies.at(0));
        const int r = (lower.at(2) - lower.at(0)) / 2;
        const int cx = lower.at(0) + r;
        const int cy = lower.at(1) + r;
        // From the left point down through the bottom to the right point (the degree factor 3.14159/180
        // makes the right point one pixel short); then up and back to the left.
        QCOMPARE(lower.mid(4, 4), QList<int>({cx - r, cy - 1, cx + r - 1, cy}));
        QCOMPARE(Numbers(pies.at(1)).mid(4, 4), QList<int>({cx + r - 1, cy, cx - r, cy - 1}));
        QCOMPARE(CGraph::RimPoint(90, 100, 0, 0), CanvasPoint({0, 99}));
        QCOMPARE(CGraph::RimPoint(270, 100, 0, 0), CanvasPoint({0, -99}));
    }

    void crowdedLabelsArePushedDown()
    {
        CGraph graph(CGraph::Pie);
        // Three thin slices just after the start: their labels all fall in the lower left.
        graph.AddGroup(Group(QString(), {4, 4, 4, 88}));
        RecordingCanvas canvas(600, 400);
        graph.DrawGraph(canvas);
        QStringList texts = canvas.Calls(QStringLiteral("text "));
        texts = texts.mid(texts.size() - 4, 3);
        const int lh = 24 + 6;  // the pie measures with the current font: the title's, 24 pixels
        const QList<int> a = Numbers(texts.at(0));
        const QList<int> b = Numbers(texts.at(1));
        const QList<int> c = Numbers(texts.at(2));
        QCOMPARE(b.at(1), a.at(1) + lh);
        QCOMPARE(c.at(1), b.at(1) + lh);
    }

    void emptyAndOddChartsDrawWithoutFailing()
    {
        MessageRecorder messages;
        RecordingCanvas canvas(300, 200);
        CGraph noGroups(CGraph::Bars3D);
        noGroups.DrawGraph(canvas);
        CGraph zeroPie(CGraph::Pie3D);
        zeroPie.AddGroup(Group(QStringLiteral("空"), {0, 0}));
        zeroPie.DrawGraph(canvas);
        QVERIFY(canvas.Calls(QStringLiteral("pie ")).isEmpty());
        CGraph negativePie(CGraph::Pie);
        negativePie.AddGroup(Group(QString(), {-5, 3}));
        negativePie.DrawGraph(canvas);
        CGraph over(CGraph::Bars);
        over.SetTickRange(0, 100, 10);
        over.AddGroup(Group(QStringLiteral("a"), {500}));
        over.DrawGraph(canvas);
        const QList<int> bar = Numbers(canvas.Calls(QStringLiteral("rect ")).last());
        QCOMPARE(bar.at(1), over.GetY0() - over.GetPlotHeight());  // cut at the plot height
        QVERIFY(messages.messages.isEmpty());
        CGraph unknown(7);
        unknown.DrawGraph(canvas);
        QCOMPARE(messages.Texts(), QStringList({"No graph type to display"}));
    }

    void threeDimensionalPieHasItsBase()
    {
        CGraph graph(CGraph::Pie3D);
        graph.SetDepthRatio(0.1);
        graph.AddGroup(Group(QString(), {30, 40, 30}));
        graph.SetColor(0, {100, 100, 100});
        RecordingCanvas canvas(600, 400);
        graph.DrawGraph(canvas);
        const QStringList pies = canvas.Calls(QStringLiteral("pie "));
        QCOMPARE(pies.size(), 6);  // three base sectors, then three slices
        QVERIFY(pies.first().endsWith(QStringLiteral("brush 65,65,65")));
        const QList<int> base = Numbers(pies.first());
        const QList<int> top = Numbers(pies.at(3));
        const int depth = base.at(0) - top.at(0);
        QVERIFY(depth > 0);
        QCOMPARE(base.at(1) - top.at(1), depth);
    }
};

QTEST_GUILESS_MAIN(TestGraph)
#include "tst_graph.moc"
