// The QPainter canvas paints what the chart engine asks: GDI's rectangles and anticlockwise pie sectors.
#include "charts/QtCanvas.h"

#include <QImage>
#include <QTest>

namespace {

QImage Blank()
{
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

class TestQtCanvas : public QObject
{
    Q_OBJECT
private slots:
    void pieRunsAnticlockwiseFromStartToEnd()
    {
        QImage image = Blank();
        {
            QPainter painter(&image);
            QtCanvas canvas(painter, 200, 200);
            canvas.SetPen({255, 0, 0}, 1);
            canvas.SetBrush({255, 0, 0});
            // From the left point down through the bottom to the right point: the lower half.
            canvas.Pie(0, 0, 200, 200, {0, 100}, {200, 100});
        }
        QCOMPARE(image.pixelColor(100, 150), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(100, 50), QColor(Qt::white));
    }

    void samePointTwiceIsTheWholeDisc()
    {
        QImage image = Blank();
        {
            QPainter painter(&image);
            QtCanvas canvas(painter, 200, 200);
            canvas.SetBrush({0, 0, 255});
            canvas.SetPen({0, 0, 255}, 1);
            canvas.Pie(0, 0, 200, 200, {0, 99}, {0, 99});
        }
        QCOMPARE(image.pixelColor(100, 50), QColor(0, 0, 255));
        QCOMPARE(image.pixelColor(100, 150), QColor(0, 0, 255));
    }

    void rectangleLeavesItsRightAndBottomEdges()
    {
        QImage image = Blank();
        {
            QPainter painter(&image);
            QtCanvas canvas(painter, 200, 200);
            canvas.SetPen({0, 0, 0}, 1);
            canvas.SetBrush({0, 255, 0});
            canvas.Rectangle(10, 10, 20, 20);
        }
        QCOMPARE(image.pixelColor(10, 10), QColor(Qt::black));
        QCOMPARE(image.pixelColor(19, 19), QColor(Qt::black));
        QCOMPARE(image.pixelColor(15, 15), QColor(0, 255, 0));
        QCOMPARE(image.pixelColor(20, 20), QColor(Qt::white));
    }

    void textsCountSixPixelsPerByte()
    {
        QImage image = Blank();
        QPainter painter(&image);
        QtCanvas canvas(painter, 200, 200);
        canvas.SetFont(12, 700, 0);
        QCOMPARE(canvas.AverageCharWidth(), 6);
        QCOMPARE(painter.fontMetrics().horizontalAdvance(QStringLiteral("图例")), 24);
    }
};

QTEST_MAIN(TestQtCanvas)
#include "tst_qtcanvas.moc"
